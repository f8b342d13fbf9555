#include "OfficeSetup.h"

#include <QDir>

#include "DeliveryState.h"
#include "DesktopAutomation.h"
#include "OfficeStandIns.h"
#include "RunContext.h"

void NoteKeptDocument(RunContext& ctx, const QString& copy) {
    if (!ctx.download.gDeliveryNote.isEmpty()) ctx.download.gDeliveryNote += QLatin1Char(' ');
    ctx.download.gDeliveryNote += QStringLiteral("The document is kept in ") + copy + QLatin1Char('.');
}

void InstallOfficeStandIns(RunContext& ctx) {
    auto desktop = std::make_unique<DesktopAutomation>();
    auto& standIns = DeliveryOf(ctx).officeStandIns;
    standIns = std::make_shared<OfficeStandIns>(StandInDesk{
        [&ctx] { return ctx.services.processes.get(); },
        [&ctx] { return QDir(ctx.services.paths->cachePath()).filePath(QStringLiteral("office")); },
        QStringLiteral("xdg-open"),
        [&ctx] { return ctx.services.nobodyAnswers(); },
        [&ctx](const QString& copy) { NoteKeptDocument(ctx, copy); },
        [&ctx] { return ctx.services.now(); }});
    standIns->registerWith(*desktop);
    ctx.services.automation = std::move(desktop);
}
