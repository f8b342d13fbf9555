#pragma once
#include <QString>
#include <string>
#include <string_view>

class AppContext;

// A PC file error with the number and description the messages show, as the
// original's run-time errors numbered them (76 path not found, 75 path/file
// access error, 70 permission denied, 61 disk full, 53 file not found, ...).
struct PcFileError {
    int number;
    QString description;
};
PcFileError PcFileErrorFromErrno(int err, bool creating);
// Writes all of buf to fd and empties buf; throws PcFileError.
void WriteOutAndClear(int fd, std::string& buf);

// A text file written line by line, each line followed by CR LF, through a
// fixed buffer: memory does not grow with the report.
class ReportFile {
public:
    ReportFile() = default;
    ~ReportFile();
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    // Throws PcFileError when the file could not be opened for writing (or
    // appending) later: the folder is missing, the name is a folder, ...
    // Changes nothing on disk.
    static void checkWritable(const QString& path);
    // Creates or empties the file, or opens it for appending; a file that did
    // not exist is noted as one this run created. Throws PcFileError.
    void open(AppContext& ctx, const QString& path, bool append);
    bool isOpen() const { return fd_ >= 0; }
    void writeLine(std::string_view line);  // throws PcFileError
    void close();                           // throws PcFileError
    // Closes without reporting (on paths that already failed).
    void closeQuietly() noexcept;

private:
    void flush();
    int fd_ = -1;
    std::string buf_;
};

