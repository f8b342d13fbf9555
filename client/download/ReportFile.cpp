#include "ReportFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AppContext.h"

namespace {
constexpr size_t kBufferSize = 64 * 1024;

PcFileError vbError(int number) {
    switch (number) {
    case 52: return {52, QStringLiteral("Bad file name or number")};
    case 53: return {53, QStringLiteral("File not found")};
    case 57: return {57, QStringLiteral("Device I/O error")};
    case 61: return {61, QStringLiteral("Disk full")};
    case 67: return {67, QStringLiteral("Too many files")};
    case 70: return {70, QStringLiteral("Permission denied")};
    case 76: return {76, QStringLiteral("Path not found")};
    default: return {75, QStringLiteral("Path/File access error")};
    }
}
}  // namespace

PcFileError PcFileErrorFromErrno(int err, bool creating) {
    switch (err) {
    case ENOENT: return vbError(creating ? 76 : 53);
    case ENOTDIR: return vbError(76);
    // A read-only file, or a folder the user may not write in.
    case EACCES:
    case EPERM: return vbError(75);
    // A write-protected disk, or a file another program holds.
    case EROFS:
    case ETXTBSY:
    case EBUSY: return vbError(70);
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return vbError(61);
    case EMFILE:
    case ENFILE: return vbError(67);
    case EIO: return vbError(57);
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ: return vbError(52);
    default: return vbError(75);
    }
}

ReportFile::~ReportFile() { closeQuietly(); }

void ReportFile::checkWritable(const QString& path) {
    if (path.isEmpty()) throw vbError(75);
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) throw vbError(75);
        if (::access(name.constData(), W_OK) != 0) throw PcFileErrorFromErrno(errno, true);
        return;
    }
    if (errno != ENOENT) throw PcFileErrorFromErrno(errno, true);
    QString parent = QFileInfo(path).path();
    const QByteArray dir = QFile::encodeName(parent);
    if (::stat(dir.constData(), &st) != 0) throw PcFileErrorFromErrno(errno, true);
    if (!S_ISDIR(st.st_mode)) throw vbError(76);
    if (::access(dir.constData(), W_OK | X_OK) != 0) throw PcFileErrorFromErrno(errno, true);
}

void ReportFile::open(AppContext& ctx, const QString& path, bool append) {
    closeQuietly();
    if (path.isEmpty()) throw vbError(75);
    const QByteArray name = QFile::encodeName(path);
    const bool existed = ::access(name.constData(), F_OK) == 0;
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    fd_ = ::open(name.constData(), flags, 0666);
    if (fd_ < 0) {
        const int err = errno;
        throw err == EISDIR ? vbError(75) : PcFileErrorFromErrno(err, true);
    }
    if (!existed) ctx.noteCreatedFile(path);
    buf_.clear();
    buf_.reserve(kBufferSize);
}

void ReportFile::writeLine(std::string_view line) {
    if (fd_ < 0) throw vbError(52);
    if (buf_.size() + line.size() + 2 > kBufferSize) flush();
    if (line.size() + 2 > kBufferSize) {
        buf_.append(line);
        buf_.append("\r\n");
        flush();
        return;
    }
    buf_.append(line);
    buf_.append("\r\n");
}

void WriteOutAndClear(int fd, std::string& buf) {
    size_t done = 0;
    while (done < buf.size()) {
        const ssize_t n = ::write(fd, buf.data() + done, buf.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            buf.clear();
            throw PcFileErrorFromErrno(err, true);
        }
        done += static_cast<size_t>(n);
    }
    buf.clear();
}

void ReportFile::flush() { WriteOutAndClear(fd_, buf_); }

void ReportFile::close() {
    if (fd_ < 0) return;
    try {
        flush();
    } catch (...) {
        closeQuietly();
        throw;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) throw PcFileErrorFromErrno(errno, true);
}

void ReportFile::closeQuietly() noexcept {
    if (fd_ < 0) return;
    try {
        flush();
    } catch (...) {
    }
    ::close(fd_);
    fd_ = -1;
    buf_.clear();
}

