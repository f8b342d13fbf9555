#include "EmailAttach.h"

#include <QFile>

#include "MailAutomation.h"
#include "MousePointer.h"
#include "RunContext.h"

namespace {
// Opens a new message, or reuses the one of the earlier report.
bool opening(MailRun& run) { return !run.options.attachMultiples || !run.ctx.download.gMailStarted; }
// No later report of the download goes into this message.
bool lastOfMessage(MailRun& run) { return !run.options.attachMultiples || run.ctx.download.gSelectedCount < 2; }

void genericError(RunContext& ctx, int number, const QString& description) {
    ctx.services.report(Failure{ErrorText(number, description), MsgIcon::None, QStringLiteral("Tolvane")});
}

Outcome notActivated(RunContext& ctx, const QString& program, const QString& window) {
    ctx.services.report(Failure{QStringLiteral("The %1 window \"%2\" did not come to the front; the report was not attached.")
                           .arg(program, window),
                       MsgIcon::Critical, QStringLiteral("Tolvane")});
    setMousePointer(MousePointer::Normal);
    return Outcome::Stopped();
}

template <class F>
Outcome trapped(RunContext& ctx, F body, const std::function<void(int, const QString&)>& report) {
    try {
        return body();
    } catch (const AutomationError& e) {
        report(e.number, e.description);
    } catch (const KeysError& e) {
        report(e.number, QString::fromStdString(e.what()));
    }
    setMousePointer(MousePointer::Normal);
    (void)ctx;
    return Outcome::Stopped();
}
}  // namespace

namespace {
// The keys that attach the file in the compose window of a started program.
struct KeysAttach {
    const char* program;
    const char* window;       // for the message when it does not come
    int roundsBefore;         // window events let run before the keys
    const char* menuKeys;     // opens the program's attach dialog
    const char* confirmKeys;  // after the file name
    int roundsAfter;
    const char* done;         // completion status, before the file name
    bool startedAtOnce;       // the message counts as open once the program runs
    bool focus;               // the screen gets the focus back
};
const KeysAttach kNetscapeKeys{"Netscape", "Composition", 0, "%FHF", "{Enter}", 0,
                               "Load to email attachment complete under temporary file name ", false, true};
const KeysAttach kOutlookExpressKeys{"Outlook Express", "New Message", 1000, "%IA", "%A", 100,
                                     "Load to email attachment complete under file name ", true, false};

Outcome attachByKeys(MailRun& run, const SpoolFileRow& row, const MailOpening& how, const KeysAttach& k) {
    RunContext& ctx = run.ctx;
    const std::optional<OpenedMail> opened = OpenMail(run, row, how, opening(run));
    if (!opened) return Outcome::Stopped();
    const QString& file = opened->file;
    EmailState& email = Email(ctx);
    if (opening(run)) {
        email.composeTask = opened->task;
        if (k.startedAtOnce) ctx.download.gMailStarted = true;
    }
    return trapped(ctx, [&] {
        for (int i = 0; i < k.roundsBefore; ++i) ctx.services.clock->pumpOnce();
        // The message of an earlier report is activated by its task too:
        // keys never go to whatever window is in front.
        if (!EmailKeys::activateTask(ctx, email.composeTask))
            return notActivated(ctx, QString::fromLatin1(k.program), QString::fromLatin1(k.window));
        EmailKeys::send(ctx, QString::fromLatin1(k.menuKeys));
        EmailKeys::type(ctx, file);
        EmailKeys::send(ctx, QString::fromLatin1(k.confirmKeys));
        for (int i = 0; i < k.roundsAfter; ++i) ctx.services.clock->pumpOnce();
        ctx.download.gMailStarted = true;
        return MailDone(run, QString::fromLatin1(k.done) + file.trimmed() + QLatin1Char('.'), k.focus);
    }, [&](int n, const QString& d) { genericError(ctx, n, d); });
}
}  // namespace

Outcome EmailAttachNetscape(MailRun run, const SpoolFileRow& row) {
    return attachByKeys(run, row, MailOpenings::AttachNetscape, kNetscapeKeys);
}

Outcome EmailAttachOutlookExpress(MailRun run, const SpoolFileRow& row) {
    return attachByKeys(run, row, MailOpenings::AttachOutlookExpress, kOutlookExpressKeys);
}

Outcome EmailAttachNotes(MailRun run, const SpoolFileRow& row) {
    RunContext& ctx = run.ctx;
    const std::optional<OpenedMail> opened = OpenMail(run, row, MailOpenings::AttachNotes, opening(run));
    if (!opened) return Outcome::Stopped();
    const QString& file = opened->file;
    EmailState& email = Email(ctx);
    if (opening(run)) email.gNotesWorkspace = opened->app;
    QString step = QStringLiteral("12");
    auto notesError = [&](int n, const QString& d) {
        ctx.services.report(Failure{
            n == NotesSession::kNotSignedOn
                ? QStringLiteral("Please login to Lotus Notes first!")
                : QStringLiteral("An Error has occurred while accessing Lotus Notes:\r\nError number: ") +
                      QString::number(n) + QStringLiteral("\r\nDescription: ") + d + QStringLiteral(" Step:") + step,
            MsgIcon::Critical, QString::fromLatin1(Services::kAppTitle)});
        email.releaseNotes();
        run.progress.status(QStringLiteral("Load to Notes did not complete."));
    };
    return trapped(ctx, [&] {
        step = QStringLiteral("13");
        QString server, mailFile;
        if (opening(run)) email.gNotesSession = ctx.services.automation->createObject(QString::fromLatin1(NotesSession::kProgId));
        if (email.gNotesSession) {
            NotesSession s(email.gNotesSession);
            server = s.environmentString(QStringLiteral("MailServer"));
            mailFile = s.environmentString(QStringLiteral("MailFile"));
        }
        step = QStringLiteral("16");
        if (opening(run)) {
            NotesUIWorkspace(email.gNotesWorkspace).openMailDatabase(server, mailFile);
            email.gNotesUIDocument = email.gNotesWorkspace->object(QStringLiteral("ComposeDocument"),
                                                                   {server, mailFile, QStringLiteral("Memo")});
        }
        const QString window = QStringLiteral("Lotus Notes");
        if (!EmailKeys::activate(ctx, window)) {
            email.releaseNotes();
            return notActivated(ctx, QStringLiteral("Lotus Notes"), window);
        }
        step = QStringLiteral("18");
        bool ok = false;
        const int n = run.options.tabs.toInt(&ok);
        if (!ok) throw AutomationError(13, QStringLiteral("Type mismatch"));
        const int n2 = run.options.tabs2.trimmed().isEmpty() ? 0 : run.options.tabs2.toInt(&ok);
        if (!ok) throw AutomationError(13, QStringLiteral("Type mismatch"));
        auto tabs = [&](int count) {
            for (int i = 0; i < std::abs(count); ++i) EmailKeys::send(ctx, count > 0 ? QStringLiteral("+{TAB}") : QStringLiteral("{TAB}"));
        };
        EmailKeys::send(ctx, QStringLiteral("+{TAB}"));
        tabs(n);
        for (const char* k : {"^{END}", "{Enter}", "{Enter}", "__________", "{Enter}", "%FA"}) EmailKeys::send(ctx, QString::fromLatin1(k));
        EmailKeys::type(ctx, file);
        EmailKeys::send(ctx, QStringLiteral("%r"));
        EmailKeys::send(ctx, QStringLiteral("+{TAB}"));
        tabs(n2);
        EmailKeys::send(ctx, QStringLiteral("{RIGHT}"));
        if (lastOfMessage(run)) email.releaseNotes();
        ctx.download.gMailStarted = true;
        return MailDone(run, QStringLiteral("Load to Notes email is complete."));
    }, notesError);
}

Outcome EmailAttachOutlook(MailRun run, const SpoolFileRow& row) {
    RunContext& ctx = run.ctx;
    const std::optional<OpenedMail> opened = OpenMail(run, row, MailOpenings::AttachOutlook, opening(run));
    if (!opened) return Outcome::Stopped();
    const QString& file = opened->file;
    EmailState& email = Email(ctx);
    if (opening(run)) email.gOutlookApp = opened->app;
    return trapped(ctx, [&] {
        if (opening(run)) email.gOutlookMailItem = email.gOutlookApp->object(QStringLiteral("CreateItem"), {0});
        run.progress.status(QStringLiteral("Loading spool file..."));
        OutlookMailItem item(email.gOutlookMailItem);
        item.display();
        item.attach(file);
        if (lastOfMessage(run)) email.releaseOutlook();
        ctx.download.gMailStarted = true;
        return MailDone(run, QStringLiteral("Load to email attachment is complete."));
    }, [&](int n, const QString& d) {
        genericError(ctx, n, d);
        email.releaseOutlook();
    });
}
