#include "ReportFile.h"

#include "PcFileName.h"
#include "RunContext.h"
#include "WorkDirectory.h"

SafeOutputFile::Options ReportFile::optionsFor(RunContext& ctx, const QString& path, bool append, bool nameWasFree) {
    SafeOutputFile::Options o;
    o.mode = append ? SafeOutputFile::Mode::Add : SafeOutputFile::Mode::Replace;
    o.ownerOnly = o.newOnly = InWorkDirectory(ctx.connection, path);
    if (nameWasFree && !append)
        o.nextFreeName = [path](const QSet<QString>& passedOver) { return NextFreeName(path, passedOver); };
    Clock* clock = ctx.services.clock.get();
    o.pause = [clock](qint64 ms) { clock->waitMs(ms); };
    o.folders = &ctx.services.outputFolders;
    return o;
}

void ReportFile::check(RunContext& ctx, const QString& path, bool append) {
    SafeOutputFile::check(path, optionsFor(ctx, path, append));
}

void ReportFile::open(RunContext& ctx, const QString& path, bool append, bool nameWasFree) {
    ctx_ = &ctx;
    file_.open(path, optionsFor(ctx, path, append, nameWasFree));
    if (file_.createdTarget()) ctx.connection.noteCreatedFile(file_.path());
}

void ReportFile::commit() {
    const QString opened = file_.path();
    file_.commit();
    // The name was taken at the last moment by another program: this run made the next one.
    if (ctx_ && file_.path() != opened) ctx_->connection.noteCreatedFile(file_.path());
}
