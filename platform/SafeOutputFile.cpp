#include "SafeOutputFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QDir>
#include <QStandardPaths>
#include <algorithm>
#include <map>
#include <vector>
#include <cstdlib>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <utility>

namespace {
// The file beside the target: a short hidden name of its own, so that a
// target whose name is as long as the system allows still has one. It is
// locked while it is written; one that nobody holds and nobody has written
// to for a while is what a killed run left.
constexpr char kTempPrefix[] = ".swdl-";
constexpr char kTempSuffix[] = ".tmp";
constexpr char kTempAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t kTempRandom = 12;
constexpr int kTempTries = 64;  // names drawn at random: a clash is rare, a run of them a broken system
constexpr time_t kStaleSeconds = 10 * 60;
// Unchanged this long, with no lock held in its folder: no writer is at it.
constexpr time_t kLeftOverSeconds = 3;

// The lock of a name: a hidden file beside it, named after the name (so that
// every run finds the same one) and short (so that the longest names have
// room). Its holder removes it at the end; while it adds to a file it holds
// the file's old length, for the next run to cut back to when it was killed.
constexpr char kLockPrefix[] = ".swlk-";
constexpr char kLockSuffix[] = ".lock";
constexpr size_t kLockHash = 16;
constexpr char kLockHex[] = "0123456789abcdef";
constexpr char kAddRecord[] = "add ";
constexpr qint64 kLockPollMs = 100;

PcFileError vbError(int number) {
    switch (number) {
    case 52: return {52, QStringLiteral("Bad file name or number")};
    case 53: return {53, QStringLiteral("File not found")};
    case 57: return {57, QStringLiteral("Device I/O error")};
    case 58: return {58, QStringLiteral("File already exists")};
    case 61: return {61, QStringLiteral("Disk full")};
    case 67: return {67, QStringLiteral("Too many files")};
    case 70: return {70, QStringLiteral("Permission denied")};
    case 76: return {76, QStringLiteral("Path not found")};
    default: return {75, QStringLiteral("Path/File access error")};
    }
}

QByteArray nativeName(const QString& path) { return QFile::encodeName(path); }

// The mode a new file gets from open(..., 0666): what the user's umask lets through.
mode_t newFileMode() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (!line.startsWith("Umask:")) continue;
            bool ok = false;
            const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
            if (ok) return static_cast<mode_t>(0666 & ~mask);
        }
    }
    return 0644;
}

// Gives `from` the name `to` unless `to` exists (a link included).
int renameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // A file system without the flag: a second name fails the same way on a taken one.
    if (::link(from.constData(), to.constData()) != 0) return -1;
    ::unlink(from.constData());
    return 0;
}

// What stands at the target's name: nothing, or its lstat.
struct Existing {
    bool exists = false;
    struct stat st {};
    bool isLink() const { return exists && S_ISLNK(st.st_mode); }
};

Existing lookAt(const QByteArray& name) {
    Existing e;
    if (::lstat(name.constData(), &e.st) == 0) {
        e.exists = true;
        return e;
    }
    if (errno != ENOENT) throw PcFileErrorFromErrno(errno, true);
    return e;
}

// A link that names a file of another user (or that another user planted)
// is not followed: as the kernel's protected links in a shared folder, but
// wherever it stands, so that nobody makes a run write their choice of file.
PcFileError linkOfAnotherUser(const QString& path) {
    return {75, QStringLiteral("%1 is a link to a file of another user, not written").arg(path)};
}

// Only plain files are written: opening anything else may block (a pipe) or
// reach a device, and replacing it would put a file in its place.
PcFileError notPlainFile(const QString& path, mode_t mode) {
    const char* what = S_ISDIR(mode)                      ? "a folder"
                       : S_ISFIFO(mode)                   ? "a pipe (FIFO)"
                       : S_ISSOCK(mode)                   ? "a socket"
                       : S_ISCHR(mode) || S_ISBLK(mode)   ? "a device"
                                                          : "no plain file";
    return {75, QStringLiteral("%1 is %2, not a plain file").arg(path, QString::fromLatin1(what))};
}

// The checks that do not depend on the folder: what stands at the name may be written as asked.
Existing checkTarget(const QString& path, const SafeOutputFile::Options& options) {
    if (path.isEmpty()) throw vbError(75);
    const QByteArray name = nativeName(path);
    const Existing e = lookAt(name);
    if (!e.exists) return e;
    if (options.newOnly && !options.nextFreeName) throw vbError(58);
    // A free name that anything took is passed over, whatever it is.
    if (options.mode == SafeOutputFile::Mode::Replace && options.nextFreeName) return e;
    // A link left here is one that names nothing: the file is made where it points.
    if (e.isLink()) return e;
    if (!S_ISREG(e.st.st_mode)) throw notPlainFile(path, e.st.st_mode);
    // A file the user may not write is not replaced either.
    if (::access(name.constData(), W_OK) != 0) throw PcFileErrorFromErrno(errno, true);
    return e;
}

bool appendsInPlace(const Existing& e, const SafeOutputFile::Options& options) {
    return options.mode == SafeOutputFile::Mode::Add && e.exists && !e.isLink();
}

void checkFolder(const QString& path) {
    const QByteArray dir = nativeName(QFileInfo(path).path());
    struct stat st {};
    if (::stat(dir.constData(), &st) != 0) throw PcFileErrorFromErrno(errno, true);
    if (!S_ISDIR(st.st_mode)) throw vbError(76);
    if (::access(dir.constData(), W_OK | X_OK) != 0) throw PcFileErrorFromErrno(errno, true);
}

QByteArray folderOf(const QString& path) {
    const QString folder = QFileInfo(path).path();
    return nativeName(folder.isEmpty() ? QStringLiteral(".") : folder);
}

QByteArray newTempName() {
    QByteArray name(kTempPrefix);
    for (size_t i = 0; i < kTempRandom; ++i)
        name += kTempAlphabet[QRandomGenerator::system()->bounded(int(sizeof kTempAlphabet - 1))];
    return name + kTempSuffix;
}

bool isTempName(const char* name) {
    const size_t prefix = sizeof kTempPrefix - 1, suffix = sizeof kTempSuffix - 1;
    const std::string_view n(name);
    if (n.size() != prefix + kTempRandom + suffix || !n.starts_with(kTempPrefix) || !n.ends_with(kTempSuffix))
        return false;
    return n.substr(prefix, kTempRandom).find_first_not_of(kTempAlphabet) == std::string_view::npos;
}

// A lock on the whole file, per open file: a second open of the same file
// (this process's or another's) cannot take it while the writer holds it.
bool lockWhole(int fd, short type) {
    struct flock l {};
    l.l_type = type;
    l.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &l) == 0;
}

QByteArray lockNameFor(const QByteArray& fileName) {
    const QByteArray hash = QCryptographicHash::hash(fileName, QCryptographicHash::Sha256);
    QByteArray name(kLockPrefix);
    for (size_t i = 0; i < kLockHash / 2; ++i) {
        const auto b = static_cast<unsigned char>(hash[static_cast<qsizetype>(i)]);
        name += kLockHex[b >> 4];
        name += kLockHex[b & 15];
    }
    return name + kLockSuffix;
}

bool isLockName(const char* name) {
    const size_t prefix = sizeof kLockPrefix - 1, suffix = sizeof kLockSuffix - 1;
    const std::string_view n(name);
    if (n.size() != prefix + kLockHash + suffix || !n.starts_with(kLockPrefix) || !n.ends_with(kLockSuffix))
        return false;
    return n.substr(prefix, kLockHash).find_first_not_of(kLockHex) == std::string_view::npos;
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The record of an addition in progress: the file's identity, the length to
// cut it back to, the lengths it may have while the block being written goes
// in and the first bytes of the addition, then its name in the folder.
constexpr size_t kAddHead = 16;
std::string addRecord(const SafeOutputFile::AddRecord& r, const QByteArray& fileName) {
    const QByteArray head = QByteArray::fromStdString(r.head).toHex();
    return kAddRecord + std::to_string(r.dev) + ' ' + std::to_string(r.ino) + ' ' + std::to_string(r.original) + ' ' +
           std::to_string(r.low) + ' ' + std::to_string(r.high) + ' ' + (head.isEmpty() ? "-" : head.toStdString()) +
           '\n' + fileName.toStdString();
}

// Whether the file still ends with what the killed run was adding: its
// length is one the run could have left, and its bytes where the addition
// began are the addition's. A file the user rewrote meanwhile, even in place,
// is the user's.
bool holdsTheAddition(int fd, const struct stat& st, long long original, long long low, long long high,
                      const std::string& headHex) {
    if (st.st_size <= original || st.st_size < low || st.st_size > high) return false;
    const QByteArray head = QByteArray::fromHex(QByteArray::fromStdString(headHex));
    if (head.isEmpty()) return false;
    const auto n = static_cast<size_t>(std::min<long long>(head.size(), st.st_size - original));
    std::string there(n, '\0');
    return ::pread(fd, there.data(), n, static_cast<off_t>(original)) == static_cast<ssize_t>(n) &&
           there == head.left(static_cast<qsizetype>(n)).toStdString();
}

// A killed run's addition is cut back to the length the file had before it,
// as long as the name still holds that same file as that run left it.
// `fullPaths`: the records of the user's own folder, which name the file by
// its full path; any other record names a file beside it.
void restoreAddition(int dirFd, int lockFd, bool fullPaths) {
    // A record names its file by up to a whole path, after a line of numbers.
    char buf[PATH_MAX + 256];
    const ssize_t n = ::pread(lockFd, buf, sizeof buf, 0);
    if (n <= 0) return;
    const std::string_view text(buf, static_cast<size_t>(n));
    const size_t eol = text.find('\n');
    if (!text.starts_with(kAddRecord) || eol == std::string_view::npos || eol + 1 >= text.size()) return;
    unsigned long long dev = 0, ino = 0;
    long long length = -1, low = -1, high = -1;
    char headHex[2 * kAddHead + 2] = {};
    const std::string line(text.substr(0, eol));
    if (std::sscanf(line.c_str(), "add %llu %llu %lld %lld %lld %33s", &dev, &ino, &length, &low, &high, headHex) !=
            6 ||
        length < 0)
        return;
    const std::string name(text.substr(eol + 1));
    if (fullPaths ? !name.starts_with('/') : name.find('/') != std::string::npos) return;
    const int fd = ::openat(dirFd, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == dev && st.st_ino == ino &&
        holdsTheAddition(fd, st, length, low, high, headHex))
        (void)::ftruncate(fd, static_cast<off_t>(length));
    ::close(fd);
}

enum class Taken { Yes, Held, NoLockHere };

// Takes the lock of `fileName` in the folder without waiting. A lock file
// that a killed run left is taken over (its addition cut back first).
Taken lockName(const QByteArray& folder, const QByteArray& fileName, SafeOutputFile::NameLock& out,
               bool fullPaths = false) {
    const QByteArray lockPath = folder + '/' + lockNameFor(fileName);
    for (int tries = 0; tries < 8; ++tries) {
        const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0) {
            struct stat there {};
            // Another user's lock, or something planted at its name: held.
            if (::lstat(lockPath.constData(), &there) == 0) return Taken::Held;
            // A folder that takes no new file (a file added to in a folder the user may not write).
            return Taken::NoLockHere;
        }
        struct stat opened {}, named {};
        // Only a lock file of this user's own, and no second name of some
        // other file: what it records is acted on, and it is emptied.
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_uid != ::geteuid() ||
            opened.st_nlink != 1) {
            ::close(fd);
            return Taken::Held;
        }
        if (!lockWhole(fd, F_WRLCK)) {
            ::close(fd);
            return Taken::Held;
        }
        // The lock counts only while the name still holds this file: its last
        // holder removes it before letting go.
        if (::lstat(lockPath.constData(), &named) == 0 && sameFile(opened, named)) {
            const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (dirFd >= 0) {
                restoreAddition(dirFd, fd, fullPaths);
                ::close(dirFd);
            }
            (void)::ftruncate(fd, 0);
            out.fd = fd;
            out.path = lockPath;
            return Taken::Yes;
        }
        ::close(fd);
    }
    return Taken::Held;
}

void unlockName(SafeOutputFile::NameLock& lock) noexcept {
    if (lock.fd < 0) return;
    ::unlink(lock.path.constData());
    ::close(lock.fd);
    lock.fd = -1;
    lock.path.clear();
}

// Tidies what killed runs left in this folder, before anything is written
// there: an addition cut short is cut back to where it began, and lock files
// nobody holds go; of the files beside targets, only plain files of our own
// naming, owned by this user, that no writer holds and that have not changed
// for a while (a few seconds when no lock file in the folder is held, as
// every writer holds its name's lock before it makes its file beside).
// Anything else there is left alone.
void tidyFolder(const QByteArray& folder, time_t now, bool fullPaths) {
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return;
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return;
    }
    // Takes what `name` holds when it is a plain file of ours that nobody holds and that `old` finds old enough.
    const auto takeOver = [&](const char* name, bool temp, const std::function<bool(const struct stat&)>& old) {
        const int fd = ::openat(dirFd, name, (temp ? O_RDONLY : O_RDWR) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return -1;
        struct stat opened {}, named {};
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid() &&
            opened.st_nlink == 1 && old(opened) && lockWhole(fd, temp ? F_RDLCK : F_WRLCK) &&
            ::fstatat(dirFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(named, opened))
            return fd;
        ::close(fd);
        return -2;
    };
    bool lockHeld = false;
    std::vector<std::string> temps;
    while (const dirent* entry = ::readdir(dir)) {
        if (isTempName(entry->d_name)) {
            temps.emplace_back(entry->d_name);
            continue;
        }
        if (!isLockName(entry->d_name)) continue;
        const int fd = takeOver(entry->d_name, false, [](const struct stat&) { return true; });
        if (fd == -2) lockHeld = true;
        if (fd < 0) continue;
        restoreAddition(dirFd, fd, fullPaths);
        (void)::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    const time_t unchanged = lockHeld ? kStaleSeconds : kLeftOverSeconds;
    for (const std::string& name : temps) {
        const int fd = takeOver(name.c_str(), true, [&](const struct stat& st) { return now - st.st_mtime >= unchanged; });
        if (fd < 0) continue;
        (void)::unlinkat(dirFd, name.c_str(), 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// A folder is tidied at the first open there of a run, and again once what
// was written meanwhile could have grown stale: reading a folder of thousands
// of reports at every open would make a long queue slower report by report.
bool tidiedLately(std::map<std::string, time_t>& tidied, const QByteArray& folder, time_t now) {
    struct stat st {};
    if (::stat(folder.constData(), &st) != 0) return false;
    char* real = ::realpath(folder.constData(), nullptr);
    // The same folder, not one made since under its name.
    std::string key = (real ? std::string(real) : folder.toStdString()) + '\n' + std::to_string(st.st_dev) + ':' +
                      std::to_string(st.st_ino);
    ::free(real);
    const auto it = tidied.find(key);
    if (it != tidied.end() && now - it->second < kStaleSeconds && now >= it->second) return true;
    tidied[key] = now;
    return false;
}

QByteArray baseName(const QString& path) { return nativeName(QFileInfo(path).fileName()); }

// Where an addition is recorded when its folder takes no lock file of ours
// (a file the user may write in a folder the user may not): a folder of the
// user's own, tidied at every open, wherever that open writes.
QString additionRecordsFolder() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return cache.isEmpty() ? QString() : cache + QStringLiteral("/Tolvane/.additions");
}

QByteArray makeAdditionRecordsFolder() {
    const QString folder = additionRecordsFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder)) return {};
    const QByteArray native = nativeName(folder);
    struct stat st {};
    // Only a real folder of this user's, closed to others.
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return {};
    if ((st.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0) return {};
    return native;
}

void pauseFor(const SafeOutputFile::Options& options, qint64 ms) {
    if (options.pause) {
        options.pause(ms);
        return;
    }
    const timespec t{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    ::nanosleep(&t, nullptr);
}

PcFileError beingWritten(const QString& path) {
    return {70, QStringLiteral("%1 is being written by another program").arg(path)};
}
}  // namespace

PcFileError PcFileErrorFromErrno(int err, bool creating) {
    switch (err) {
    case ENOENT: return vbError(creating ? 76 : 53);
    case ENOTDIR: return vbError(76);
    case EEXIST: return vbError(58);
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

SafeOutputFile::~SafeOutputFile() { abandon(); }

QString SafeOutputFile::followLinks(const QString& path) {
    QByteArray name = nativeName(path);
    const uid_t me = ::geteuid();
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(name.constData(), &st) != 0) {
            if (errno == ENOENT) return QFile::decodeName(name);
            throw PcFileErrorFromErrno(errno, true);
        }
        if (!S_ISLNK(st.st_mode)) {
            if (hops > 0 && st.st_uid != me) throw linkOfAnotherUser(path);
            return QFile::decodeName(name);
        }
        if (st.st_uid != me) throw linkOfAnotherUser(path);
        if (hops >= kMaxLinks) throw PcFileErrorFromErrno(ELOOP, true);
        QByteArray to(st.st_size > 0 ? st.st_size + 1 : PATH_MAX, '\0');
        const ssize_t n = ::readlink(name.constData(), to.data(), size_t(to.size()));
        if (n < 0 || n >= to.size()) throw PcFileErrorFromErrno(n < 0 ? errno : ENAMETOOLONG, true);
        to.truncate(n);
        if (!to.startsWith('/')) {
            const qsizetype slash = name.lastIndexOf('/');
            to.prepend(slash < 0 ? QByteArray() : name.left(slash + 1));
        }
        name = to;
    }
}

void SafeOutputFile::check(const QString& path, const Options& options) {
    const QString target = followsLinks(options) ? followLinks(path) : path;
    const Existing e = checkTarget(target, options);
    if (!appendsInPlace(e, options)) checkFolder(target);
}

void SafeOutputFile::checkPlainFile(const QString& path) {
    struct stat st {};
    if (::stat(nativeName(followLinks(path)).constData(), &st) == 0 && !S_ISREG(st.st_mode))
        throw notPlainFile(path, st.st_mode);
}

void SafeOutputFile::open(const QString& path, const Options& options) {
    abandon();
    const QString target = followsLinks(options) ? followLinks(path) : path;
    linkName_ = target == path ? QString() : path;
    Existing e = checkTarget(target, options);
    path_ = target;
    options_ = options;
    passedOver_.clear();
    partPath_.clear();
    originalSize_ = -1;
    buf_.clear();
    buf_.reserve(kBufferSize);
    const QByteArray folder = folderOf(path);
    tidyOnce(folder, false);
    if (const QString records = additionRecordsFolder(); !records.isEmpty()) tidyOnce(nativeName(records), true);

    if (keepsNameFree()) {
        // A name someone else is writing, or has written meanwhile, is theirs.
        for (;;) {
            if (!e.exists) {
                const Taken t = lockName(folder, baseName(path_), lock_);
                if (t == Taken::NoLockHere) break;
                if (t == Taken::Yes) {
                    e = lookAt(nativeName(path_));
                    if (!e.exists) break;
                    releaseName();
                }
            }
            passedOver_.insert(QFileInfo(path_).absoluteFilePath());
            path_ = options.nextFreeName(passedOver_);
            e = checkTarget(path_, options);
        }
    } else {
        for (qint64 waited = 0; lockName(folder, baseName(path_), lock_) == Taken::Held; waited += kLockPollMs) {
            if (waited >= options.lockWaitMs) throw beingWritten(path_);
            pauseFor(options, kLockPollMs);
        }
    }
    try {
        // What stands there now: another run may have written it while this one waited.
        e = checkTarget(path_, options);
        existed_ = e.exists;

        if (appendsInPlace(e, options)) {
            // Never blocks: a pipe put at the name meanwhile is refused below.
            fd_ = ::open(nativeName(path_).constData(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            if (fd_ < 0) throw PcFileErrorFromErrno(errno == EISDIR ? EACCES : errno, true);
            struct stat st {};
            if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) throw notPlainFile(path_, st.st_mode);
            recordName_ = baseName(path_);
            if (lock_.fd < 0) {
                // No lock file in a folder the user may not write: the file itself is locked.
                for (qint64 waited = 0; !lockWhole(fd_, F_WRLCK); waited += kLockPollMs) {
                    if (waited >= options.lockWaitMs) throw beingWritten(path_);
                    pauseFor(options, kLockPollMs);
                }
                // And the addition is recorded in the user's own folder.
                if (const QByteArray records = makeAdditionRecordsFolder(); !records.isEmpty()) {
                    recordName_ = nativeName(QFileInfo(path_).absoluteFilePath());
                    for (qint64 waited = 0; lockName(records, recordName_, lock_, true) == Taken::Held;
                         waited += kLockPollMs) {
                        if (waited >= options.lockWaitMs) throw beingWritten(path_);
                        pauseFor(options, kLockPollMs);
                    }
                    // Taking the record over may have cut back what a killed run added.
                    if (::fstat(fd_, &st) != 0) throw PcFileErrorFromErrno(errno, true);
                }
            }
            if (lock_.fd >= 0) {
                // Until the addition is whole, the next run knows where it began.
                record_ = AddRecord{.dev = static_cast<unsigned long long>(st.st_dev),
                                    .ino = static_cast<unsigned long long>(st.st_ino),
                                    .original = st.st_size,
                                    .low = st.st_size,
                                    .high = st.st_size,
                                    .head = {}};
                writeRecord();
            }
            originalSize_ = st.st_size;
            return;
        }

        if (options.ownerOnly)
            keepMode_ = 0600;
        else if (e.exists && S_ISREG(e.st.st_mode))
            keepMode_ = e.st.st_mode & 07777;
        else
            keepMode_ = newFileMode();
        for (int i = 0; i < kTempTries; ++i) {
            const QByteArray part = folder + '/' + newTempName();
            // Only this run's own new file: a name already there, or a link planted at it, is passed over.
            const int fd = ::open(part.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd >= 0) {
                (void)lockWhole(fd, F_WRLCK);
                fd_ = fd;
                partPath_ = QFile::decodeName(part);
                return;
            }
            if (errno != EEXIST) throw PcFileErrorFromErrno(errno, true);
        }
        throw vbError(58);
    } catch (const PcFileError&) {
        closeFd();
        releaseName();
        throw;
    }
}

void SafeOutputFile::write(std::string_view bytes) {
    if (fd_ < 0) throw vbError(52);
    if (buf_.size() + bytes.size() > kBufferSize) flush();
    buf_.append(bytes);
    if (buf_.size() >= kBufferSize) flush();
}

void SafeOutputFile::writeLineFlushing(std::string_view bytes) {
    if (fd_ < 0) throw vbError(52);
    if (buf_.size() + bytes.size() + 2 > kBufferSize) flush();
    buf_.append(bytes);
    buf_.append("\r\n", 2);
    if (buf_.size() >= kBufferSize) flush();
}

void SafeOutputFile::writeRecord() {
    const std::string record = addRecord(record_, recordName_);
    if (::pwrite(lock_.fd, record.data(), record.size(), 0) != static_cast<ssize_t>(record.size()))
        throw PcFileErrorFromErrno(errno, true);
}

void SafeOutputFile::flush() {
    if (fd_ < 0) return;
    if (!writesBeside() && lock_.fd >= 0 && originalSize_ >= 0 && !buf_.empty()) {
        // The lengths this block may leave, before it goes in.
        if (record_.head.empty()) record_.head = buf_.substr(0, kAddHead);
        record_.low = record_.high;
        record_.high += static_cast<long long>(buf_.size());
        try {
            writeRecord();
        } catch (const PcFileError&) {
            buf_.clear();
            throw;
        }
    }
    size_t done = 0;
    while (done < buf_.size()) {
        const ssize_t n = ::write(fd_, buf_.data() + done, buf_.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            buf_.clear();
            throw PcFileErrorFromErrno(err, true);
        }
        done += static_cast<size_t>(n);
    }
    buf_.clear();
}

void SafeOutputFile::commit() {
    if (fd_ < 0) throw vbError(52);
    try {
        flush();
        if (writesBeside()) {
            if (::fchmod(fd_, keepMode_) != 0) throw PcFileErrorFromErrno(errno, true);
            // The earlier file goes only once the new one is safely on the disk.
            if (existed_ && ::fsync(fd_) != 0) throw PcFileErrorFromErrno(errno, true);
        }
    } catch (const PcFileError&) {
        abandon();
        throw;
    }
    const int fd = std::exchange(fd_, -1);
    const QByteArray part = nativeName(std::exchange(partPath_, QString()));
    int err = 0;
    if (::close(fd) != 0 && errno != EINTR) {
        err = errno;
    } else if (!part.isEmpty()) {
        const QByteArray folder = folderOf(path_);
        for (;;) {
            const bool mustBeFree = options_.newOnly || keepsNameFree();
            const QByteArray target = nativeName(path_);
            if ((mustBeFree ? renameNoReplace(part, target) : ::rename(part.constData(), target.constData())) == 0)
                break;
            err = errno;
            if (err != EEXIST || !keepsNameFree()) break;
            // Another program made a file of this name meanwhile: it keeps it, and this one takes the next free name.
            err = 0;
            do {
                releaseName();
                passedOver_.insert(QFileInfo(path_).absoluteFilePath());
                path_ = options_.nextFreeName(passedOver_);
            } while (lockName(folder, baseName(path_), lock_) == Taken::Held);
        }
    }
    releaseName();
    if (err == 0) return;
    if (!part.isEmpty()) ::unlink(part.constData());
    throw PcFileErrorFromErrno(err, true);
}

void SafeOutputFile::abandon() noexcept {
    if (fd_ < 0) {
        releaseName();
        return;
    }
    if (!writesBeside()) {
        buf_.clear();
        if (originalSize_ >= 0) (void)::ftruncate(fd_, originalSize_);
        closeFd();
        releaseName();
        return;
    }
    const QByteArray part = nativeName(partPath_);
    partPath_.clear();
    if (existed_) {
        buf_.clear();
        closeFd();
        ::unlink(part.constData());
        releaseName();
        return;
    }
    // No earlier file: what arrived is kept under the target's name.
    try {
        flush();
    } catch (...) {
    }
    // Nothing arrived (a disk full from the start, a host that failed at once):
    // an empty file would only pass for a report.
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && st.st_size == 0) {
        closeFd();
        ::unlink(part.constData());
        releaseName();
        return;
    }
    (void)::fchmod(fd_, keepMode_);
    closeFd();
    // A name taken meanwhile is left alone; the part file then stays beside it.
    (void)renameNoReplace(part, nativeName(path_));
    releaseName();
}

void SafeOutputFile::discard() noexcept {
    if (fd_ < 0 || !writesBeside()) {
        abandon();
        return;
    }
    const QByteArray part = nativeName(partPath_);
    partPath_.clear();
    closeFd();
    ::unlink(part.constData());
    releaseName();
}

void SafeOutputFile::closeFd() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    buf_.clear();
}

void SafeOutputFile::releaseName() noexcept { unlockName(lock_); }

void SafeOutputFile::tidyOnce(const QByteArray& folder, bool fullPaths) const {
    Folders* run = options_.folders;
    const time_t now = run && run->now ? run->now() : ::time(nullptr);
    if (!run || !tidiedLately(run->tidied_, folder, now)) tidyFolder(folder, now, fullPaths);
}
