#include "EmailBody.h"

#include <QFile>

#include "Codec.h"
#include "MailAutomation.h"
#include "MousePointer.h"
#include "PageModel.h"
#include "PcFileName.h"
#include "ProcTxt.h"
#include "ReportFile.h"
#include "RunContext.h"
#include "SpoolExchange.h"

namespace {
// The report's records as the paragraphs of an HTML body (plain lines for
// Netscape 4.6), on the page model's lines: blank paragraphs for the empty
// lines, two between pages.
class HtmlBodySink : public SpoolRecordSink, private PageCanvas {
public:
    HtmlBodySink(RunContext& ctx, const QString& name, bool plain, bool removeLayout)
        : ctx_(ctx), name_(name), plain_(plain), pages_(PageModelOptions{.layout = !removeLayout}) {}
    void accepted(const std::string&) override {
        file.open(ctx_, name_, false);
        if (plain_) return;  // Netscape 4.6 takes plain lines, without any HTML head
        for (const char* l : {"<HTML>", "<HEAD>", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">",
                              "<META NAME=\"Generator\" CONTENT=\"Microsoft Word\">", "</HEAD>", "<BODY>", "",
                              "<FONT FACE=\"Courier New\" SIZE=2><P>&nbsp;</P>"})
            file.writeLine(l);
    }
    void record(const SpoolRecordSlot& slot) override { pages_.record(slot, *this); }
    void blockDone() override { file.flush(); }
    void finish() {
        if (plain_) return;
        file.writeLine("</FONT></BODY>");
        file.writeLine("</HTML>");
    }
    ReportFile file;

private:
    void line(const QString& l) { file.writeLine(Codec::fromUnicode(l)); }
    void blank() { line(plain_ ? QStringLiteral(" ") : QStringLiteral("<P> </P>")); }
    void pageBreak(int) override {
        blank();
        blank();
    }
    void emptyLines(int count) override {
        for (int i = 0; i < count; ++i) blank();
    }
    void line(std::string_view record, int, int) override {
        const QString text = Codec::toUnicode(ShownText(record));
        line(plain_ ? text : QStringLiteral("<P>") + HtmlText(text) + QStringLiteral("</P>"));
    }
    RunContext& ctx_;
    QString name_;
    bool plain_;
    PageModel pages_;
};

Outcome failed(RunContext& ctx, const QString& text, const QString& title = QStringLiteral("Tolvane")) {
    ctx.services.report(Failure{text, MsgIcon::Critical, title});
    setMousePointer(MousePointer::Normal);
    return Outcome::Stopped();
}
}  // namespace

QString HtmlText(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    out.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    out.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    return out;
}

Outcome ProcEmail(MailRun run, const SpoolFileRow& row) {
    RunContext& ctx = run.ctx;
    setMousePointer(MousePointer::ArrowHourglass);
    const QString name = BuildPcFileName(ctx, MailWorkDir(ctx), row, false);
    run.progress.status(QStringLiteral("Preparing records for transfer to file ") + name + QStringLiteral(".   "));
    HtmlBodySink sink(ctx, name, ctx.targets.gNetscapeVersion == QLatin1String("4.6"), run.options.removeBlankLines);
    ExchangeStyle style;
    style.pageLimit = PageLimitOf(row);
    try {
        // The print-control box is the text file's: it changes nothing the host is asked for here.
        DownloadOptions request = run.options;
        request.printControl = false;
        const ExchangeResult r = RunSpoolExchange(ctx, DownloadRequestFor(request, row).build(), style, sink, run.progress);
        if (!r.started()) {
            setMousePointer(MousePointer::Normal);
            return Outcome::Stopped();
        }
        if (!r.complete()) {
            // Less than the whole report never goes to a message.
            sink.file.abandon();
            setMousePointer(MousePointer::Normal);
            return Outcome::Stopped();
        }
        sink.finish();
        sink.file.commit();
        ctx.connection.noteCreatedFile(name);
        run.progress.status(QStringLiteral("Transfer is complete to work file") + name + QStringLiteral(".  ") +
                            QString::number(r.records) + QStringLiteral(" records transferred."));
    } catch (const PcFileError& e) {
        sink.file.abandon();
        ctx.services.report(Failure{QStringLiteral("PC level file error:") + (e.number < 0 ? QString() : QStringLiteral(" ")) +
                               QString::number(e.number) + QStringLiteral("   Description: ") + e.description +
                               QStringLiteral("  Path and file: ") + name + QLatin1Char(' '),
                           MsgIcon::Exclamation, QStringLiteral("iSeries Spoolwright - ProcEmail")});
        setMousePointer(MousePointer::Normal);
        return Outcome::Stopped();
    }
    const qint64 task = StartMailProgram(ctx, "Netscape", {QStringLiteral("-compose"), name});
    setMousePointer(MousePointer::Normal);
    return task == 0 ? Outcome::Stopped() : Outcome::Done();
}

Outcome EmailBodyOutlookExpress(MailRun run, const SpoolFileRow& row) {
    RunContext& ctx = run.ctx;
    const std::optional<OpenedMail> opened = OpenMail(run, row, MailOpenings::BodyOutlookExpress, true);
    if (!opened) return Outcome::Stopped();
    const QString& name = opened->file;
    const qint64 task = opened->task;
    for (int i = 0; i < 1000; ++i) ctx.services.clock->pumpOnce();
    if (!EmailKeys::activateTask(ctx, task))
        return failed(ctx, QStringLiteral("The Outlook Express window did not come to the front; no keys were sent to it."));
    try {
        EmailKeys::send(ctx, QStringLiteral("+{TAB}"));
        EmailKeys::send(ctx, QStringLiteral("%IT"));
        EmailKeys::type(ctx, name);
        EmailKeys::send(ctx, QStringLiteral("%O"));
    } catch (const KeysError& e) {
        return failed(ctx, ErrorText(e.number, QString::fromStdString(e.what())));
    }
    for (int i = 0; i < 100; ++i) ctx.services.clock->pumpOnce();
    return MailDone(run, QStringLiteral("Load to email message complete.") + name.trimmed() + QLatin1Char('.'));
}

Outcome EmailBodyNotes(MailRun run, const SpoolFileRow& row) {
    RunContext& ctx = run.ctx;
    const std::optional<OpenedMail> opened = OpenMail(run, row, MailOpenings::BodyNotes, true);
    if (!opened) return Outcome::Stopped();
    const QString& body = opened->body;
    try {
        QString server, mailFile;
        {
            NotesSession session(ctx.services.automation->createObject(QString::fromLatin1(NotesSession::kProgId)));
            server = session.environmentString(QStringLiteral("MailServer"));
            mailFile = session.environmentString(QStringLiteral("MailFile"));
        }
        NotesUIWorkspace ws(opened->app);
        ws.openMailDatabase(server, mailFile);
        ws.composeMemo(server, mailFile).fieldAppendText(QStringLiteral("Body"), body);
    } catch (const AutomationError& e) {
        return failed(ctx, e.number == NotesSession::kNotSignedOn
                               ? QStringLiteral("Please login to Lotus Notes first!")
                               : QStringLiteral("An Error has occurred while accessing Lotus Notes:\r\nErr. Number: ") +
                                     QString::number(e.number) + QStringLiteral("\r\nDescription: ") + e.description,
                      QString::fromLatin1(Services::kAppTitle));
    }
    return MailDone(run, QStringLiteral("Load to Notes email is complete."));
}

Outcome EmailBodyOutlook(MailRun run, const SpoolFileRow& row) {
    RunContext& ctx = run.ctx;
    const std::optional<OpenedMail> opened = OpenMail(run, row, MailOpenings::BodyOutlook, true);
    if (!opened) return Outcome::Stopped();
    const QString& body = opened->body;
    try {
        OutlookMailItem item = OutlookApplication(opened->app).createMailItem();
        run.progress.status(QStringLiteral("Loading spool file..."));
        item.display();
        item.setBody(body);
    } catch (const AutomationError& e) {
        run.progress.status(QStringLiteral("Load to email did not complete."));
        return failed(ctx, ErrorText(e.number, e.description));
    }
    return MailDone(run, QStringLiteral("Load to email is complete."));
}
