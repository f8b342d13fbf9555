#include "Viewers.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>

#include "AppContext.h"
#include "MousePointer.h"
#include "PcFileName.h"
#include "PreviewText.h"
#include "ProcTxt.h"
#include "SplfScreenApi.h"
#include "SpoolDownload.h"
#include "frmFullView.h"
#include "frmPrint.h"
#include "frmView.h"

ViewerWindows::~ViewerWindows() = default;

ViewerWindows& Viewers(AppContext& ctx) {
    if (!ctx.viewerWindows) ctx.viewerWindows = std::make_shared<ViewerWindows>();
    return *ctx.viewerWindows;
}

frmView& PreviewWindow(AppContext& ctx) {
    ViewerWindows& v = Viewers(ctx);
    if (!v.view) {
        v.view = std::make_unique<frmView>(ctx, v.viewPlace);
        v.view->Form_Load();
    }
    return *v.view;
}

frmPrint& PrinterFormatWindow(AppContext& ctx) {
    ViewerWindows& v = Viewers(ctx);
    if (!v.print) {
        v.print = std::make_unique<frmPrint>(ctx);
        v.print->Form_Load();
    }
    return *v.print;
}

namespace {
struct DefaultPointerOnExit {
    ~DefaultPointerOnExit() { setMousePointer(MousePointer::Normal); }
};

template <class Window>
void showModal(AppContext& ctx, Window& w) {
    if (ctx.services.presenter)
        ctx.services.presenter->showModal(&w);
    else
        w.exec();
}
}  // namespace

int TransferSpoolFileToViewer(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                              const SpoolFileRow& row) {
    DefaultPointerOnExit pointer;
    setMousePointer(MousePointer::ArrowHourglass);
    SpoolDownloadRequest req = DownloadRequestFor(options, row);
    // The preview suppresses overprinting by its check box alone.
    req.suppressOverprint = options.suppressOverprinting;
    req.code = 'P';
    req.withTranslation = true;
    req.upperCase = true;
    PreviewWindow(ctx).setEntry(row);

    PreviewText preview(!options.removeBlankLines);
    ExchangeStyle style;
    style.next = ExchangeStyle::Continue::OnlyOnMore;
    style.laterInvalidDenied = false;
    style.thresholdFromCount = true;
    style.pageLimit = PageLimitOf(row);
    style.progressPrefix = QStringLiteral("Records tranferred: ");
    style.refusedText = QStringLiteral(
        "Spool file is not available. The spool file may have been removed from the system, possible lack of "
        "authority, IPDS/AFP printer data was found or more than one spool file is present and *ONLY was specified "
        "in a batch run.");
    const ExchangeResult r = RunSpoolExchange(ctx, req.build(), style, preview, progress);
    if (!r.complete()) return -1;

    frmView& view = PreviewWindow(ctx);
    const ShownPreview shown = PreviewToShow(preview.bytes(), preview.cap());
    if (shown.halved)
        ctx.services.msgBox(QStringLiteral("Insufficient memory to display requested preview.  Attempting to display half..."),
                   MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Tolvane"));
    view.txtClip->setPlainText(shown.text);
    progress.status(QStringLiteral("Records tranferred: ") + QString::number(preview.records()) + QStringLiteral("   "));
    setMousePointer(MousePointer::Normal);
    // A run nobody watches waits for nobody: the viewers are not shown there.
    if (!ctx.services.nobodyAnswers()) {
        showModal(ctx, view);
        view.unload();
    }
    Viewers(ctx).view.reset();
    return 0;
}

int ProcFullView(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const SpoolFileRow& row) {
    DefaultPointerOnExit pointer;
    setMousePointer(MousePointer::ArrowHourglass);
    SplfScreenApi& splf = ctx.frmSplf();
    progress.status(QStringLiteral("Transferring records..."));
    ctx.download.gFullViewFile = BuildPcFileName(ctx, ctx.connection.gWorkDir, row, true, QString());
    splf.setChosen(ScreenChoice::TextAddReplace, 0, true);
    DownloadOptions replacing = options;
    replacing.textFile = DownloadOptions::AddReplace::Replace;
    const ReportResult transfer =
        ProcTxt(ctx, replacing, progress, ctx.download.gFullViewFile, QStringLiteral("ProcFullView"), row);
    ctx.download.gFullViewFile = transfer.writtenAs;
    if (!transfer) return -1;
    ViewerWindows& v = Viewers(ctx);
    frmFullView view(ctx, v.fullViewPlace);
    view.setEntry(row);
    QString error;
    if (!view.Form_Load(ctx.download.gFullViewFile, error)) {
        ctx.services.msgBox(QStringLiteral("Error") + QString::number(53) + QLatin1Char(' ') + error, MsgButtons::OK,
                   MsgIcon::None, QStringLiteral("Tolvane"));
        return -1;
    }
    setMousePointer(MousePointer::Normal);
    if (!ctx.services.nobodyAnswers()) {
        showModal(ctx, view);
        view.unload();
        splf.giveFocus();
    }
    return 0;
}
