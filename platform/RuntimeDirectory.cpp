#include "RuntimeDirectory.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A real folder (not a link), ours, closed to everyone else: what Qt accepts.
bool isPrivateFolder(const QByteArray& path) {
    struct stat st {};
    if (path.isEmpty() || lstat(path.constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 0777) == 0700;
}

// Creates the folder 0700, or takes an existing one of ours that is only
// too open (and closes it). Never one that is a link or belongs to another.
bool makePrivateFolder(const QByteArray& path) {
    if (mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) return false;
    if ((st.st_mode & 0777) != 0700 && chmod(path.constData(), 0700) != 0) return false;
    return isPrivateFolder(path);
}
}  // namespace

QString EnsureRuntimeDirectory() {
    const QByteArray given = qgetenv("XDG_RUNTIME_DIR");
    if (isPrivateFolder(given)) return QFile::decodeName(given);

    const QByteArray base = QFile::encodeName(QDir::tempPath());
    QByteArray folder = base + "/runtime-" + QByteArray::number(static_cast<qulonglong>(geteuid()));
    if (!makePrivateFolder(folder)) {
        // The usual name is taken by someone else: a fresh one of our own.
        QByteArray pattern = folder + "-XXXXXX";
        if (!mkdtemp(pattern.data())) return {};
        folder = pattern;
    }
    qputenv("XDG_RUNTIME_DIR", folder);
    return QFile::decodeName(folder);
}
