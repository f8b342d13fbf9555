#include "DownloadWindows.h"

#include <QCheckBox>
#include <QLineEdit>

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

QString SaveDialogExtension(frmSaveAs::Kind kind) {
    switch (kind) {
    case frmSaveAs::Kind::Html: return QStringLiteral("html");
    case frmSaveAs::Kind::Xml: return QStringLiteral("xml");
    case frmSaveAs::Kind::Pdf: return QStringLiteral("pdf");
    case frmSaveAs::Kind::Text: break;
    }
    return QStringLiteral("txt");
}

frmSaveAs::Kind SaveDialogKindOf(SaveDialogKind dialog) {
    switch (dialog) {
    case SaveDialogKind::Xml: return frmSaveAs::Kind::Xml;
    case SaveDialogKind::Html: return frmSaveAs::Kind::Html;
    case SaveDialogKind::Pdf: return frmSaveAs::Kind::Pdf;
    case SaveDialogKind::Text:
    case SaveDialogKind::None: break;
    }
    return frmSaveAs::Kind::Text;
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

void ShowNamingOptions(AppContext& ctx, const QString& fullName) {
    frmFormat& f = NamingOptionsWindow(ctx);
    bool ok = false;
    const int n = fullName.trimmed().toInt(&ok);
    if (ok) f.chkFullName->setCheckState(n == 0 ? Qt::Unchecked : n == 2 ? Qt::PartiallyChecked : Qt::Checked);
    f.showModal();
}

void ShowNamingOptions(AppContext& ctx) { ShowNamingOptions(ctx, ctx.services.getSetting(Setting::FullName)); }

namespace {
// The naming options the code below the windows opens.
class NamingOptionsWindows : public RunWindows {
public:
    explicit NamingOptionsWindows(AppContext& ctx) : ctx_(ctx) {}
    void showNamingOptions(const QString& fullName) override { ShowNamingOptions(ctx_, fullName); }

private:
    AppContext& ctx_;
};
}  // namespace

void installDownloadWindows(AppContext& ctx) { ctx.installRunWindows(std::make_unique<NamingOptionsWindows>(ctx)); }

SaveDialogFields LoadedSaveDialogFields(const AppContext& ctx, frmSaveAs::Kind kind) {
    // A dialog that was never loaded holds nothing.
    const frmSaveAs* w = ctx.downloadWindows ? ctx.downloadWindows->save[static_cast<int>(kind)].get() : nullptr;
    if (!w) return {};
    return {w->txtSave->text(), w->dlgFile.initDir};
}
