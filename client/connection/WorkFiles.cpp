// The record of files this run created, and the clearing of the work directory
// at exit, which deletes those and nothing else.
#include <QFileInfo>
#include <filesystem>
#include <system_error>

#include "ConnectionState.h"

namespace fs = std::filesystem;

namespace {
fs::path toPath(const QString& p) { return fs::path(p.toStdU16String()); }
}  // namespace

void ConnectionState::noteCreatedFile(const QString& path) {
    if (path.isEmpty()) return;
    const QString abs = QFileInfo(path).absoluteFilePath();
    if (createdIndex_.contains(abs)) return;
    createdIndex_.insert(abs);
    createdFiles_.append(abs);
}

int ConnectionState::clearWorkDirectory() {
    if (gWorkDir.trimmed().isEmpty()) return 0;
    std::error_code ec;
    const fs::path dir = toPath(gWorkDir);
    // A work directory that is a link leads elsewhere: nothing there is ours to delete.
    if (!fs::is_directory(fs::symlink_status(dir, ec)) || ec) return 0;
    const fs::path home = fs::canonical(dir, ec);
    if (ec) return 0;

    int deleted = 0;
    QStringList kept;
    for (const QString& f : createdFiles_) {
        const fs::path p = toPath(f);
        const fs::file_status st = fs::symlink_status(p, ec);
        if (ec || !fs::exists(st)) continue;  // already gone
        const fs::path parent = fs::canonical(p.parent_path(), ec);
        const bool inWorkDir = !ec && parent == home;
        // Only a plain file directly in the work directory; a link stays (and is never followed).
        if (!inWorkDir || !fs::is_regular_file(st)) {
            kept.append(f);
            continue;
        }
        if (fs::remove(p, ec) && !ec)
            ++deleted;
        else
            kept.append(f);
    }
    createdFiles_ = kept;
    createdIndex_ = QSet<QString>(kept.begin(), kept.end());
    // rmdir: fails, as it should, while the user's files or sub-directories are left.
    fs::remove(dir, ec);
    return deleted;
}
