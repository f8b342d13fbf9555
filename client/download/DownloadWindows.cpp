#include "DownloadWindows.h"

#include <QCheckBox>

#include "AppContext.h"

namespace {
DownloadWindows& windows(AppContext& ctx) {
    if (!ctx.downloadWindows) ctx.downloadWindows = std::make_shared<DownloadWindows>();
    return *ctx.downloadWindows;
}
}  // namespace

frmSaveAs& SaveDialog(AppContext& ctx, frmSaveAs::Kind kind) {
    auto& w = windows(ctx).save[static_cast<int>(kind)];
    if (!w) w = std::make_unique<frmSaveAs>(ctx, kind);
    return *w;
}

frmFormat& NamingOptionsWindow(AppContext& ctx) {
    auto& w = windows(ctx).format;
    if (w && w->unloadRequested()) w.release()->deleteLater();
    if (!w) {
        w = std::make_unique<frmFormat>(ctx);
        w->Form_Load();
    }
    return *w;
}

bool NamingOptionsLoaded(AppContext& ctx) {
    return ctx.downloadWindows && ctx.downloadWindows->format && !ctx.downloadWindows->format->unloadRequested();
}

void ShowNamingOptions(AppContext& ctx) {
    frmFormat& f = NamingOptionsWindow(ctx);
    bool ok = false;
    const int fullName = ctx.getSetting(QStringLiteral("FullName")).toInt(&ok);
    if (ok) f.chkFullName->setCheckState(fullName == 0 ? Qt::Unchecked : fullName == 2 ? Qt::PartiallyChecked : Qt::Checked);
    f.showModal();
}
