#pragma once
#include <QString>
#include <string_view>

#include "SafeOutputFile.h"

class RunContext;

// A text file written line by line, each line followed by CR LF, through a
// fixed buffer (memory does not grow with the report) into a SafeOutputFile:
// an earlier file is replaced, or added to, only by a whole report.
class ReportFile {
public:
    // How a file of this name is written: files in the work folder are the
    // program's own, created new and for the user only. `nameWasFree`: no
    // file had the name when the report started, so none is replaced: a name
    // that another run takes meanwhile is passed over for the next free one.
    // A run that writes the same file waits for it while events run.
    static SafeOutputFile::Options optionsFor(RunContext& ctx, const QString& path, bool append,
                                              bool nameWasFree = false);
    // Throws the PcFileError that open() would meet; changes nothing on disk.
    static void check(RunContext& ctx, const QString& path, bool append);
    // Throws PcFileError. A file of a new name is noted as one this run created.
    void open(RunContext& ctx, const QString& path, bool append, bool nameWasFree = false);
    bool isOpen() const { return file_.isOpen(); }
    void writeLine(std::string_view line) { file_.writeLine(line); }  // throws PcFileError
    // What arrived so far goes to the system; throws PcFileError.
    void flush() { file_.flush(); }
    // The report is whole; throws PcFileError.
    void commit();
    // Anything less (SafeOutputFile::abandon).
    void abandon() noexcept { file_.abandon(); }
    // Nothing of it is a valid file (SafeOutputFile::discard).
    void discard() noexcept { file_.discard(); }
    // There was a file of this name before open().
    bool replacesEarlierFile() const { return !file_.createdTarget(); }
    // The name written: the one asked for, or the next free one.
    const QString& path() const { return file_.path(); }
    // The file written: path(), or the file a followed link names.
    const QString& writtenFile() const { return file_.writtenFile(); }

private:
    SafeOutputFile file_;
    RunContext* ctx_ = nullptr;
};
