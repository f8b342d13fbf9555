#include "EmailAttach.h"

#include <QFile>

#include "AppContext.h"
#include "MailAutomation.h"
#include "MousePointer.h"
#include "PcFileName.h"
#include "ProcTxt.h"

namespace {
// Opens a new message, or reuses the one of the earlier report.
bool opening(MailRun& run) { return !run.options.attachMultiples || !run.ctx.gMailStarted; }

void genericError(AppContext& ctx, int number, const QString& description) {
    ctx.msgBox(ErrorText(number, description), MsgButtons::OK, MsgIcon::None, QStringLiteral("Tolvane"));
}

int notActivated(AppContext& ctx, const QString& program, const QString& window) {
    ctx.msgBox(QStringLiteral("The %1 window \"%2\" did not come to the front; the report was not attached.")
                   .arg(program, window),
               MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Tolvane"));
    setMousePointer(MousePointer::Normal);
    return 1;
}

// Starts the program of a keys-driven delivery (Netscape, Outlook Express);
// its task, 0 when it did not start (said to the user).
qint64 startMailProgram(AppContext& ctx, const QString& program, const QStringList& extra) {
    QStringList args = ProcessStarter::splitCommandLine(Email(ctx).gMailProgram);
    const QString exe = args.isEmpty() ? QString() : args.takeFirst();
    const qint64 task = exe.isEmpty() ? 0 : ctx.processes->startTask(exe, args + extra, ProcessStarter::NormalFocus);
    if (task == 0)
        ctx.msgBox(program + QStringLiteral(" could not be started."), MsgButtons::OK, MsgIcon::Critical,
                   QStringLiteral("Tolvane"));
    return task;
}

template <class F>
int trapped(AppContext& ctx, F body, const std::function<void(int, const QString&)>& report) {
    try {
        return body();
    } catch (const AutomationError& e) {
        report(e.number, e.description);
    } catch (const KeysError& e) {
        report(e.number, QString::fromStdString(e.what()));
    }
    setMousePointer(MousePointer::Normal);
    (void)ctx;
    return 1;
}
}  // namespace

QString WriteMailFile(MailRun& run, QString& width, const SpoolFileRow& row, bool useAttributes) {
    AppContext& ctx = run.ctx;
    setMousePointer(MousePointer::ArrowHourglass);
    run.progress.status(QStringLiteral("Transferring records..."));
    const bool pdf = run.options.emailAsPdf;
    const QString name = BuildPcFileName(ctx, MailWorkDir(ctx), row, useAttributes, pdf ? QStringLiteral("pdf") : QString());
    if (pdf) {
        ctx.msgBox(QStringLiteral("PDF attachments need the PDF writer, which this build does not have."), MsgButtons::OK,
                   MsgIcon::Exclamation, QStringLiteral("Tolvane"));
        setMousePointer(MousePointer::Normal);
        return {};
    }
    if (ProcTxt(ctx, run.options, run.progress, name, width, QStringLiteral("Text"), row) != 0) {
        setMousePointer(MousePointer::Normal);
        return {};
    }
    ctx.noteCreatedFile(name);
    return name;
}

int EmailAttachNetscape(MailRun run, QString& width, const SpoolFileRow& row) {
    AppContext& ctx = run.ctx;
    const QString file = WriteMailFile(run, width, row, true);
    if (file.isEmpty()) return 1;
    EmailState& email = Email(ctx);
    return trapped(ctx, [&] {
        run.progress.status(QStringLiteral("Starting ") + email.gMailProgram);
        run.progress.status(QStringLiteral("Loading spool file..."));
        if (opening(run)) {
            email.composeTask = startMailProgram(ctx, QStringLiteral("Netscape"), {QStringLiteral("-compose")});
            if (email.composeTask == 0) return 1;
        }
        const QString window = QStringLiteral("Composition");
        if (!EmailKeys::activateTask(ctx, email.composeTask)) return notActivated(ctx, QStringLiteral("Netscape"), window);
        EmailKeys::send(ctx, QStringLiteral("%FHF"));
        EmailKeys::type(ctx, file);
        EmailKeys::send(ctx, QStringLiteral("{Enter}"));
        run.progress.status(QStringLiteral("Load to email attachment complete under temporary file name ") + file.trimmed() +
                            QLatin1Char('.'));
        ctx.gMailStarted = true;
        FocusScreen(ctx);
        setMousePointer(MousePointer::Normal);
        return 0;
    }, [&](int n, const QString& d) { genericError(ctx, n, d); });
}

int EmailAttachOutlookExpress(MailRun run, QString& width, const SpoolFileRow& row) {
    AppContext& ctx = run.ctx;
    const QString file = WriteMailFile(run, width, row, true);
    if (file.isEmpty()) return 1;
    EmailState& email = Email(ctx);
    return trapped(ctx, [&] {
        run.progress.status(QStringLiteral("Starting ") + email.gMailProgram);
        run.progress.status(QStringLiteral("Loading spool file..."));
        if (opening(run)) {
            email.composeTask = startMailProgram(ctx, QStringLiteral("Outlook Express"), {QStringLiteral("/mailurl:test")});
            if (email.composeTask == 0) return 1;
            ctx.gMailStarted = true;
        }
        for (int i = 0; i < 1000; ++i) ctx.clock->pumpOnce();
        // The message of the earlier report is activated by its task too:
        // keys never go to whatever window is in front.
        if (!EmailKeys::activateTask(ctx, email.composeTask))
            return notActivated(ctx, QStringLiteral("Outlook Express"), QStringLiteral("New Message"));
        EmailKeys::send(ctx, QStringLiteral("%IA"));
        EmailKeys::type(ctx, file);
        EmailKeys::send(ctx, QStringLiteral("%A"));
        for (int i = 0; i < 100; ++i) ctx.clock->pumpOnce();
        run.progress.status(QStringLiteral("Load to email attachment complete under file name ") + file.trimmed() +
                            QLatin1Char('.'));
        setMousePointer(MousePointer::Normal);
        return 0;
    }, [&](int n, const QString& d) { genericError(ctx, n, d); });
}

int EmailAttachNotes(MailRun run, QString& width, const SpoolFileRow& row) {
    AppContext& ctx = run.ctx;
    const QString file = WriteMailFile(run, width, row, true);
    if (file.isEmpty()) return 1;
    EmailState& email = Email(ctx);
    QString step = QStringLiteral("11");
    setMousePointer(MousePointer::Hourglass);
    run.progress.status(QStringLiteral("Starting Lotus Notes..."));
    step = QStringLiteral("12");
    if (opening(run)) {
        try {
            email.gNotesWorkspace = ctx.automation->createObject(QString::fromLatin1(NotesUIWorkspace::kProgId));
        } catch (const AutomationError&) {
            ctx.msgBox(QStringLiteral("Notes could not be started."), MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Tolvane"));
            setMousePointer(MousePointer::Normal);
            run.progress.status(QStringLiteral("Load to Notes did not complete."));
            return 1;
        }
    }
    auto notesError = [&](int n, const QString& d) {
        ctx.msgBox(n == NotesSession::kNotSignedOn
                       ? QStringLiteral("Please login to Lotus Notes first!")
                       : QStringLiteral("An Error has occurred while accessing Lotus Notes:\r\nError number: ") +
                             QString::number(n) + QStringLiteral("\r\nDescription: ") + d + QStringLiteral(" Step:") + step,
                   MsgButtons::OK, MsgIcon::Critical, QString::fromLatin1(AppContext::kAppTitle));
        email.releaseNotes();
        run.progress.status(QStringLiteral("Load to Notes did not complete."));
    };
    return trapped(ctx, [&] {
        run.progress.status(QStringLiteral("Loading spool file..."));
        step = QStringLiteral("13");
        QString server, mailFile;
        if (opening(run)) email.gNotesSession = ctx.automation->createObject(QString::fromLatin1(NotesSession::kProgId));
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
        run.progress.status(QStringLiteral("Load to Notes email is complete."));
        if (!run.options.attachMultiples || ctx.gSelectedCount < 2) email.releaseNotes();
        ctx.gMailStarted = true;
        FocusScreen(ctx);
        setMousePointer(MousePointer::Normal);
        return 0;
    }, notesError);
}

int EmailAttachOutlook(MailRun run, QString& width, const SpoolFileRow& row) {
    AppContext& ctx = run.ctx;
    const QString file = WriteMailFile(run, width, row, true);
    if (file.isEmpty()) return 1;
    EmailState& email = Email(ctx);
    run.progress.status(QStringLiteral("Starting Outlook..."));
    if (opening(run)) {
        const QString id = QString::fromLatin1(OutlookApplication::kProgId);
        try {
            email.gOutlookApp = ctx.automation->getObject(id);
        } catch (const AutomationError&) {
            try {
                email.gOutlookApp = ctx.automation->createObject(id);
            } catch (const AutomationError&) {
                ctx.msgBox(QStringLiteral("Outlook could not be started."), MsgButtons::OK, MsgIcon::Critical,
                           QStringLiteral("Tolvane"));
                setMousePointer(MousePointer::Normal);
                return 1;
            }
        }
    }
    return trapped(ctx, [&] {
        if (opening(run)) email.gOutlookMailItem = email.gOutlookApp->object(QStringLiteral("CreateItem"), {0});
        run.progress.status(QStringLiteral("Loading spool file..."));
        OutlookMailItem item(email.gOutlookMailItem);
        item.display();
        item.attach(file);
        if (!run.options.attachMultiples || ctx.gSelectedCount < 2) email.releaseOutlook();
        ctx.gMailStarted = true;
        run.progress.status(QStringLiteral("Load to email attachment is complete."));
        FocusScreen(ctx);
        setMousePointer(MousePointer::Normal);
        return 0;
    }, [&](int n, const QString& d) {
        genericError(ctx, n, d);
        email.releaseOutlook();
    });
}
