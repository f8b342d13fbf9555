// The report viewers and printing on reports of real size, against hostsim as
// a process of its own:
//  - a 20 MB report in the entire-report viewer and a 5 MB preview: the time
//    from the last reply to the window on screen, absolute and as a ratio to
//    reading the same text from disk (target: under 1 s each);
//  - 1,000 pages printed into a PDF file: pages per second.
//
//   bench_view [--full-records N] [--preview-records N] [--pages N]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

#include "AppContext.h"
#include "BenchHost.h"
#include "MemorySettingsStore.h"
#include "PlainSplfScreen.h"
#include "PrintReport.h"
#include "ProcTxt.h"
#include "QtPrinter.h"
#include "ScreenOptions.h"
#include "Viewers.h"
#include "frmFullView.h"
#include "frmView.h"

namespace {
using bench::argValue;
using bench::rowOf;
using bench::writeReport;

// Shows each modal window, lets it paint, notes the time and closes it.
class ShowTimer : public Presenter {
public:
    explicit ShowTimer(QElapsedTimer& clock) : clock_(clock) {}
    void showModal(QWidget* window) override {
        window->show();
        QApplication::processEvents();
        window->repaint();
        shownNs = clock_.nsecsElapsed();
        auto* text = window->findChild<QPlainTextEdit*>();
        // The entire-report viewer takes the rest of a large report in pieces
        // while it is up: the time until every line is in, too.
        if (auto* full = qobject_cast<frmFullView*>(window))
            while (full->loading()) QApplication::processEvents();
        loadedNs = clock_.nsecsElapsed();
        if (text) characters = text->document()->characterCount();
        window->close();
    }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    void showModeless(QWidget* window) override { window->show(); }
    qint64 shownNs = 0;
    qint64 loadedNs = 0;
    qint64 characters = 0;

private:
    QElapsedTimer& clock_;
};

double readSeconds(const QString& file, qint64* bytes) {
    QElapsedTimer t;
    t.start();
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return 0;
    *bytes = f.readAll().size();
    return t.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    bench::prepareApplication();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int fullRecords = argValue(args, QStringLiteral("--full-records"), 250000);
    const int previewRecords = argValue(args, QStringLiteral("--preview-records"), 65000);
    const int pages = argValue(args, QStringLiteral("--pages"), 1000);
    QTemporaryDir spool, work;
    if (!writeReport(spool.path(), QStringLiteral("FULL"), fullRecords) ||
        !writeReport(spool.path(), QStringLiteral("PREVIEW"), previewRecords) ||
        !writeReport(spool.path(), QStringLiteral("PRINTED"), pages * 60)) {
        std::fprintf(stderr, "bench_view: cannot write the spool folder\n");
        return 1;
    }
    bench::HostProcess host;
    if (!host.start(spool.path(), {QStringLiteral("--preview-pages"), QString::number(previewRecords / 60 + 1)})) {
        std::fprintf(stderr, "bench_view: hostsim does not open its job port\n");
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    AppContext ctx;
    ctx.services.settings = std::make_unique<MemorySettingsStore>();
    ctx.useBatchMessageBoxes();
    auto* timer = new ShowTimer(clock);
    ctx.services.presenter.reset(timer);
    ctx.connection.gWorkDir = work.path() + QLatin1Char('/');
    auto& screen = static_cast<PlainSplfScreen&>(ctx.frmSplf());
    screen.setCheck(ScreenCheck::SuppressOverprinting, 1);
    screen.setText(ScreenText::FromPage, QStringLiteral("*Start"));
    screen.setText(ScreenText::ToPage, QStringLiteral("*End"));
    screen.setText(ScreenText::PageLength, QStringLiteral("66"));
    if (!host.connect(ctx)) {
        std::fprintf(stderr, "bench_view: no job port\n");
        return 1;
    }
    ScreenProgress progress(screen);
    auto options = [&] { return ReadScreenOptions(screen, false); };
    qint64 lastReplyNs = 0;
    QObject::connect(ctx.link.socket(), &HostSocket::dataArrival, [&](qint64) { lastReplyNs = clock.nsecsElapsed(); });
    int status = 0;

    // The entire report: through the work file into the viewer.
    if (ProcFullView(ctx, options(), progress, rowOf(QStringLiteral("FULL"))) != 0) {
        std::fprintf(stderr, "bench_view: the full view failed\n");
        return 1;
    }
    const double fullShow = (timer->shownNs - lastReplyNs) / 1e9;
    const double fullLoaded = (timer->loadedNs - lastReplyNs) / 1e9;
    qint64 fullBytes = 0;
    const double fullRead = readSeconds(ctx.download.gFullViewFile, &fullBytes);
    std::printf("full view:  %6.1f MB  %9lld characters shown  %7.3f s from last reply to window  "
                "(%.0f x reading the file: %.4f s)%s, every line in after %.3f s\n",
                fullBytes / 1e6, static_cast<long long>(timer->characters), fullShow, fullShow / fullRead, fullRead,
                fullShow < 1.0 ? "" : "  OVER 1 s", fullLoaded);
    status |= fullShow >= 1.0;

    // The preview: the text in memory into the window.
    timer->shownNs = 0;
    if (TransferSpoolFileToViewer(ctx, options(), progress, rowOf(QStringLiteral("PREVIEW"))) != 0 || !timer->shownNs) {
        std::fprintf(stderr, "bench_view: the preview failed\n");
        return 1;
    }
    const double previewShow = (timer->shownNs - lastReplyNs) / 1e9;
    // The same text from disk, for the ratio.
    const QString previewFile = work.filePath(QStringLiteral("preview.txt"));
    screen.setChosen(ScreenChoice::TextAddReplace, 0, true);
    screen.setText(ScreenText::PageLength, QStringLiteral("Variable"));
    ProcTxt(ctx, options(), progress, previewFile, QStringLiteral("Text"), rowOf(QStringLiteral("PREVIEW")));
    qint64 previewBytes = 0;
    const double previewRead = readSeconds(previewFile, &previewBytes);
    std::printf("preview:    %6.1f MB  %9lld characters shown  %7.3f s from last reply to window  "
                "(%.0f x reading the file: %.4f s)%s\n",
                previewBytes / 1e6, static_cast<long long>(timer->characters), previewShow, previewShow / previewRead,
                previewRead, previewShow < 1.0 ? "" : "  OVER 1 s");
    status |= previewShow >= 1.0;

    // Printing into a PDF file, as a batch run prints: no dialog.
    const QString pdf = work.filePath(QStringLiteral("printed.pdf"));
    ctx.services.printer = std::make_unique<QtPrinter>(pdf);
    ctx.mode.gBatchMode = true;
    QElapsedTimer printing;
    printing.start();
    if (!PrintSpoolFileToPrinter(ctx, options(), progress, rowOf(QStringLiteral("PRINTED")))) {
        std::fprintf(stderr, "bench_view: printing failed\n");
        return 1;
    }
    const double printSeconds = printing.nsecsElapsed() / 1e9;
    std::printf("printing:   %6d pages  %7.3f s  %7.0f pages/s  (PDF %.1f MB)\n", pages, printSeconds,
                pages / printSeconds, QFileInfo(pdf).size() / 1e6);
    return status;
}
