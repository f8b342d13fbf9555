#pragma once
#include <QStringList>

#include "MemoryMachineRegistry.h"

// The machine registry of a Linux install: a read-only data file, read once
// on first use. No file, nothing found: every program counts as not installed.
//
// Format (UTF-8), the layout of an exported registry file:
//   ; comment
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Classes\Word.Application\CurVer]
//   @="Word.Application.11"                  the key's default value
//   "PATH"="/usr/bin/sysinfo"                 a string value
//   "Templates"=expand:"$HOME/templates"      an expandable string
//   "Count"=dword:0000000b                    a 32-bit number, hexadecimal
//   "Blob"=hex:01,02,ff                       binary data
// Inside quotes \\ and \" stand for the backslash and the quote. Lines that
// fit none of these are skipped and listed by problems(). Every "*.reg" file
// of the folder "<file>.d" is read after the file, in name order (programs
// installed beside this one add their keys there).
class FileMachineRegistry : public MemoryMachineRegistry {
public:
    explicit FileMachineRegistry(QString path) : path_(std::move(path)) {}
    const QString& path() const { return path_; }
    // "line 4: ..." for every line that was skipped.
    QStringList problems() {
        ensureLoaded();
        return problems_;
    }
    // Where a Linux install keeps the file: beside the program.
    static QString defaultPath(const QString& appPath);

protected:
    void ensureLoaded() override;

private:
    void load(const QString& file, bool fragment);
    QString path_;
    bool loaded_ = false;
    QStringList problems_;
};
