#include "ReplacementFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A name that is a link is saved through: the file it names is replaced and
// the link stays as the user made it.
QByteArray Resolved(const QString& target) {
    const QByteArray name = QFile::encodeName(target);
    char* real = ::realpath(name.constData(), nullptr);
    if (!real) return name;
    const QByteArray out(real);
    std::free(real);
    return out;
}

// A file the user made read-only (or may not write) is not replaced, as
// writing into it would not have.
bool ReadOnly(const QByteArray& target) {
    struct stat earlier {};
    return ::stat(target.constData(), &earlier) == 0 && S_ISREG(earlier.st_mode) &&
           ((earlier.st_mode & 0222) == 0 || ::access(target.constData(), W_OK) != 0);
}
}  // namespace

ReplacementFile::ReplacementFile(const QString& target) : target_(Resolved(target)) {
    readOnly_ = ReadOnly(target_);
    if (readOnly_) return;
    // A name short enough for the folder however long the target's is.
    constexpr qsizetype kNameMax = 255;  // bytes in one name, on the file systems in use
    constexpr char kTail[] = ".partial";
    const QFileInfo info(QFile::decodeName(target_));
    QByteArray stem = QFile::encodeName(info.fileName());
    const qsizetype room = kNameMax - 8 - qsizetype(sizeof kTail - 1);  // "." stem "." + 6 + tail
    if (stem.size() > room) {
        qsizetype cut = room;
        while (cut > 0 && (uchar(stem.at(cut)) & 0xC0) == 0x80) --cut;  // not within a character
        stem.truncate(cut);
    }
    const QByteArray prefix = QFile::encodeName(info.absolutePath()) + "/." + stem + '.';
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray name = prefix;
        for (int i = 0; i < 6; ++i) name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
        name += kTail;
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return;
        }
        file_ = ::fdopen(fd, "wb");
        if (!file_) {
            ::close(fd);
            ::unlink(name.constData());
            return;
        }
        part_ = name;
        return;
    }
}

ReplacementFile::~ReplacementFile() {
    if (file_) std::fclose(file_);
    if (!committed_ && !part_.isEmpty()) ::unlink(part_.constData());
}

FILE* ReplacementFile::take() {
    FILE* f = file_;
    file_ = nullptr;
    return f;
}

bool ReplacementFile::commit() {
    if (part_.isEmpty()) return false;
    if (file_) {
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (!closed) return false;
    }
    // A file replaced keeps its permissions (the user may have shared it, or
    // closed it to others), and is replaced only by what is on the disk.
    struct stat earlier {};
    if (::stat(target_.constData(), &earlier) == 0 && S_ISREG(earlier.st_mode)) {
        // Its owner too, where we may give it (root may; a user only the group).
        const bool owned = ::chown(part_.constData(), earlier.st_uid, earlier.st_gid) == 0 ||
                           ::chown(part_.constData(), uid_t(-1), earlier.st_gid) == 0;
        static_cast<void>(owned);  // a save that cannot keep them still goes ahead
        if (::chmod(part_.constData(), earlier.st_mode & 07777) != 0) return false;
        const int fd = ::open(part_.constData(), O_RDONLY | O_CLOEXEC);
        const bool synced = fd >= 0 && ::fsync(fd) == 0;
        if (fd >= 0) ::close(fd);
        if (!synced) return false;
    }
    if (std::rename(part_.constData(), target_.constData()) != 0) return false;
    committed_ = true;
    return true;
}

QString ReadOnlyTarget(const QString& target) {
    return QStringLiteral("Cannot save '%1': the file is read-only.").arg(target);
}
