#include "ReplacementFile.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A file the user made read-only (or may not write) is not replaced, as
// writing into it would not have.
bool ReadOnly(const QByteArray& target) {
    struct stat earlier {};
    return ::stat(target.constData(), &earlier) == 0 && S_ISREG(earlier.st_mode) &&
           ((earlier.st_mode & 0222) == 0 || ::access(target.constData(), W_OK) != 0);
}
}  // namespace

ReplacementFile::ReplacementFile(const QString& target) {
    try {
        // A link of the user's own is saved through: the file it names is
        // replaced and the link stays as the user made it.
        target_ = QFile::encodeName(SafeOutputFile::followLinks(target));
        readOnly_ = ReadOnly(target_);
        if (readOnly_) return;
        file_.open(target, {});
    } catch (const PcFileError& e) {
        // not created: the caller says it cannot save, and why
        whyNot_ = e.description;
    }
}

ReplacementFile::~ReplacementFile() {
    // Even with no earlier file, a document cut short is no document.
    file_.discard();
}

FILE* ReplacementFile::take() {
    if (!created()) return nullptr;
    const int fd = ::dup(file_.descriptor());
    if (fd < 0) return nullptr;
    FILE* f = ::fdopen(fd, "wb");
    if (!f) ::close(fd);
    return f;
}

bool ReplacementFile::commit() {
    if (!created()) return false;
    // A replaced file keeps its owner, where we may give it (root may; a user only the group).
    struct stat earlier {};
    if (::stat(target_.constData(), &earlier) == 0 && S_ISREG(earlier.st_mode)) {
        const QByteArray part = partName();
        const bool owned = ::chown(part.constData(), earlier.st_uid, earlier.st_gid) == 0 ||
                           ::chown(part.constData(), uid_t(-1), earlier.st_gid) == 0;
        static_cast<void>(owned);  // a save that cannot keep them still goes ahead
    }
    try {
        file_.commit();
        return true;
    } catch (const PcFileError&) {
        return false;
    }
}

QString CannotCreate(const QString& target, const ReplacementFile& file) {
    return file.whyNot().isEmpty() ? QStringLiteral("Cannot create '%1'.").arg(target)
                                   : QStringLiteral("Cannot create '%1': %2.").arg(target, file.whyNot());
}

QString ReadOnlyTarget(const QString& target) {
    return QStringLiteral("Cannot save '%1': the file is read-only.").arg(target);
}
