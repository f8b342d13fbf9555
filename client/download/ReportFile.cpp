#include "ReportFile.h"

#include "AppContext.h"
#include "WorkDirectory.h"

SafeOutputFile::Options ReportFile::optionsFor(AppContext& ctx, const QString& path, bool append) {
    SafeOutputFile::Options o;
    o.mode = append ? SafeOutputFile::Mode::Add : SafeOutputFile::Mode::Replace;
    o.ownerOnly = o.newOnly = InWorkDirectory(ctx, path);
    return o;
}

void ReportFile::check(AppContext& ctx, const QString& path, bool append) {
    SafeOutputFile::check(path, optionsFor(ctx, path, append));
}

void ReportFile::open(AppContext& ctx, const QString& path, bool append) {
    file_.open(path, optionsFor(ctx, path, append));
    if (file_.createdTarget()) ctx.noteCreatedFile(path);
}

void ReportFile::writeLine(std::string_view line) {
    file_.write(line);
    file_.write("\r\n");
}
