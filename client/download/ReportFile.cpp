#include "ReportFile.h"

#include "RunContext.h"
#include "WorkDirectory.h"

SafeOutputFile::Options ReportFile::optionsFor(RunContext& ctx, const QString& path, bool append) {
    SafeOutputFile::Options o;
    o.mode = append ? SafeOutputFile::Mode::Add : SafeOutputFile::Mode::Replace;
    o.ownerOnly = o.newOnly = InWorkDirectory(ctx, path);
    return o;
}

void ReportFile::check(RunContext& ctx, const QString& path, bool append) {
    SafeOutputFile::check(path, optionsFor(ctx, path, append));
}

void ReportFile::open(RunContext& ctx, const QString& path, bool append) {
    file_.open(path, optionsFor(ctx, path, append));
    if (file_.createdTarget()) ctx.noteCreatedFile(path);
}

void ReportFile::writeLine(std::string_view line) {
    file_.write(line);
    file_.write("\r\n");
}
