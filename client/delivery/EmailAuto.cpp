#include "EmailAuto.h"

#include <QFile>
#include <QFileInfo>

#include "Codec.h"
#include "EmailTextFiles.h"
#include "Keyboard.h"
#include "MailAutomation.h"
#include "MailDirectives.h"
#include "MousePointer.h"
#include "PartFile.h"
#include "PcFileName.h"
#include "ProcTxt.h"
#include "RunContext.h"

namespace {
using namespace MailDirectives;

// More recipients than one message may carry.
constexpr int kRecipientTable = 200;

// A mail program as the automatic e-mail drives it. Every step throws the
// program's error (AutomationError, KeysError) or returns false after it
// has told the user itself.
class AutoMailer {
public:
    explicit AutoMailer(MailRun& r) : run(r), ctx(r.ctx), email(Email(r.ctx)) {}
    virtual ~AutoMailer() = default;
    virtual ListForm form() const = 0;
    virtual const char* code() const = 0;
    virtual bool trimsText() const { return false; }
    virtual bool deletesParts() const { return true; }
    // Before the first part of a message.
    virtual bool begin() = 0;
    virtual bool attach(const QString& partFile) = 0;
    virtual bool send(const QStringList& addresses, const QString& list, bool last) = 0;
    // Addresses the message as send does but does not send it: abandon
    // then leaves it to the user as a draft.
    virtual bool keep(const QStringList& addresses, const QString& list, bool last) = 0;
    virtual void finish() {}
    // A message that was not sent is let go (the mail program keeps it for the user).
    virtual void abandon() {}
    // Why a message did not go, for the report's closing message; the
    // program is left ready for the next message.
    virtual QString describe(const CaughtError& e) {
        // A send the mail layer refused says itself what happened.
        return e.number == kNotSent ? e.description : ErrorText(e.number, e.description);
    }
    static constexpr int kNotSent = -2147467259;

protected:
    bool cannotStart(const char* program) {
        setMousePointer(MousePointer::Normal);
        ctx.services.report(Failure{QString::fromLatin1(program) + QStringLiteral(" could not be started."), MsgIcon::Critical,
                           QStringLiteral("Tolvane")});
        return false;
    }
    // The defaults of Outlook Express and Notes, stored for the run.
    void storeDefaults() {
        const QString company = CompanyName(ctx);
        if (email.gEmailSubject.isEmpty()) email.gEmailSubject = company;
        if (email.gEmailMessage.isEmpty())
            email.gEmailMessage = company.isEmpty() ? QStringLiteral("Please find report(s) attached.")
                                                    : QStringLiteral("Please find report(s) from ") + company +
                                                          QStringLiteral(" attached.");
    }
    void rounds(int n) {
        for (int i = 0; i < n; ++i) ctx.services.clock->pumpOnce();
    }
    bool activated(bool ok, const QString& title, const char* program) {
        if (ok) return true;
        ctx.services.report(Failure{QStringLiteral("The %1 window \"%2\" did not come to the front; no keys were sent to it.")
                               .arg(QLatin1String(program), title),
                           MsgIcon::Critical, QStringLiteral("Tolvane")});
        return false;
    }

    MailRun& run;
    RunContext& ctx;
    EmailState& email;
};

class OutlookMailer : public AutoMailer {
public:
    using AutoMailer::AutoMailer;
    ListForm form() const override { return ListForm::Long; }
    const char* code() const override { return "ProcAttachOAMS"; }
    bool trimsText() const override { return true; }
    bool begin() override {
        if (!app_) {
            run.progress.status(QStringLiteral("Starting Outlook..."));
            setMousePointer(MousePointer::Hourglass);
            const QString id = QString::fromLatin1(OutlookApplication::kProgId);
            try {
                app_ = ctx.services.automation->getObject(id);
            } catch (const AutomationError&) {
                try {
                    app_ = ctx.services.automation->createObject(id);
                } catch (const AutomationError&) {
                    return cannotStart("Outlook");
                }
            }
        }
        item_ = app_->object(QStringLiteral("CreateItem"), {0});
        return true;
    }
    bool attach(const QString& partFile) override {
        run.progress.status(QStringLiteral("Loading spool file..."));
        OutlookMailItem item(item_);
        item.display();
        item.attach(partFile);
        return true;
    }
    bool send(const QStringList& addresses, const QString& list, bool last) override {
        keep(addresses, list, last);
        OutlookMailItem(item_).send();
        item_.reset();
        return true;
    }
    bool keep(const QStringList& addresses, const QString&, bool last) override {
        OutlookMailItem item(item_);
        for (const QString& a : addresses) item.addRecipient(a);
        // The last message takes the subject as the options dialog shows it.
        QString subject = email.gEmailSubject;
        if (last) subject = EmailTextFiles::stripLineEnds(email.gEmailSubject.isEmpty() ? EmailTextFiles::readSubject(ctx)
                                                                                       : email.gEmailSubject);
        const QString company = CompanyName(ctx);
        const QString from = company.isEmpty() ? QString() : QStringLiteral(" from ") + company;
        item.setSubject(subject.isEmpty() ? QStringLiteral("Attached reports") + from : subject);
        item.setBody(email.gEmailMessage.isEmpty() ? QStringLiteral("Please find reports attached") + from + QLatin1Char('.')
                                                   : email.gEmailMessage);
        return true;
    }
    void finish() override {
        item_.reset();
        app_.reset();
    }
    void abandon() override { item_.reset(); }

private:
    std::shared_ptr<AutomationObject> app_, item_;
};

class OutlookExpressMailer : public AutoMailer {
public:
    using AutoMailer::AutoMailer;
    ListForm form() const override { return ListForm::Short; }
    const char* code() const override { return "ProcAttachIEAMS"; }
    bool deletesParts() const override { return false; }
    bool begin() override { return true; }
    bool open(const QString& list) {
        run.progress.status(QStringLiteral("Starting Outlook Express..."));
        setMousePointer(MousePointer::Hourglass);
        QStringList args = ProcessStarter::splitCommandLine(ctx.targets.gOutlookExpressCommand);
        const QString program = args.isEmpty() ? QStringLiteral("C:\\Program Files\\Outlook Express\\MSIMN.EXE") : args.takeFirst();
        task_ = ctx.services.processes->startTask(program, args << QStringLiteral("/mailurl:test"), ProcessStarter::NormalFocus);
        if (task_ == 0) return cannotStart("Outlook Express");
        rounds(500);
        storeDefaults();
        if (!activated(EmailKeys::activateTask(ctx, task_), QStringLiteral("New Message"), "Outlook Express")) return false;
        rounds(500);
        EmailKeys::type(ctx, list, false);
        EmailKeys::send(ctx, QStringLiteral("{TAB}"));
        EmailKeys::send(ctx, QStringLiteral("{TAB}"));
        EmailKeys::type(ctx, email.gEmailSubject);
        EmailKeys::send(ctx, QStringLiteral("{TAB}"));
        EmailKeys::type(ctx, email.gEmailMessage);
        return true;
    }
    bool attach(const QString& partFile) override {
        run.progress.status(QStringLiteral("Loading spool file..."));
        if (!activated(EmailKeys::activateTask(ctx, task_), title(), "Outlook Express")) return false;
        rounds(500);
        EmailKeys::send(ctx, QStringLiteral("%IA"));
        EmailKeys::type(ctx, partFile);
        EmailKeys::send(ctx, QStringLiteral("{ENTER}"));
        run.progress.status(QStringLiteral("Load to Outlook Express email is complete."));
        return true;
    }
    // The list was typed when the window opened; the window left open is
    // handed to the user when the run ends.
    bool keep(const QStringList&, const QString&, bool) override { return true; }
    bool send(const QStringList&, const QString&, bool) override {
        if (!activated(EmailKeys::activateTask(ctx, task_), title(), "Outlook Express")) return false;
        rounds(500);
        EmailKeys::send(ctx, QStringLiteral("%FE"));
        task_ = 0;
        return true;
    }
    qint64 task_ = 0;

private:
    QString title() const { return email.gEmailSubject.isEmpty() ? QStringLiteral("New Message") : email.gEmailSubject; }
};

class NotesMailer : public AutoMailer {
public:
    using AutoMailer::AutoMailer;
    ListForm form() const override { return ListForm::Short; }
    const char* code() const override { return "ProcAttachNotesAMS"; }
    bool begin() override {
        if (email.gNotesWorkspace) return true;
        run.progress.status(QStringLiteral("Starting Notes..."));
        setMousePointer(MousePointer::Hourglass);
        try {
            email.gNotesWorkspace = ctx.services.automation->createObject(QString::fromLatin1(NotesUIWorkspace::kProgId));
        } catch (const AutomationError&) {
            return cannotStart("Notes");
        }
        return true;
    }
    bool attach(const QString& partFile) override {
        if (!email.gNotesSession)
            email.gNotesSession = ctx.services.automation->createObject(QString::fromLatin1(NotesSession::kProgId));
        NotesSession session(email.gNotesSession);
        const QString server = session.environmentString(QStringLiteral("MailServer"));
        const QString mailFile = session.environmentString(QStringLiteral("MailFile"));
        const QString version = session.version();
        run.progress.status(QStringLiteral("Loading spool file..."));
        if (!email.gNotesUIDocument) {
            NotesUIWorkspace ws(email.gNotesWorkspace);
            ws.openMailDatabase(server, mailFile);
            email.gNotesUIDocument = email.gNotesWorkspace->object(
                QStringLiteral("ComposeDocument"), {server, mailFile, QStringLiteral("Memo")});
        }
        if (!activated(activateNotes(), QStringLiteral("Lotus Notes"), "Lotus Notes")) return false;
        const bool extra = !ctx.download.gMailStarted && extraTab(version);
        EmailKeys::send(ctx, QStringLiteral("+{TAB}"));
        if (extra) EmailKeys::send(ctx, QStringLiteral("+{TAB}"));
        EmailKeys::send(ctx, QStringLiteral("^{END}"), false);
        for (const char* k : {"{Enter}", "{Enter}", "__________", "{Enter}", "%FA"}) EmailKeys::send(ctx, QString::fromLatin1(k));
        EmailKeys::type(ctx, partFile);
        EmailKeys::send(ctx, QStringLiteral("%r"));
        EmailKeys::send(ctx, QStringLiteral("+{TAB}"));
        if (extra) EmailKeys::send(ctx, QStringLiteral("+{TAB}"));
        run.progress.status(QStringLiteral("Load to Notes email is complete."));
        return true;
    }
    bool send(const QStringList& addresses, const QString& list, bool last) override {
        if (!keep(addresses, list, last)) return false;
        EmailKeys::send(ctx, QStringLiteral("%AS"));
        EmailKeys::send(ctx, QStringLiteral("{Enter}"));
        email.gNotesUIDocument.reset();
        email.gNotesSession.reset();
        return true;
    }
    bool keep(const QStringList&, const QString& list, bool) override {
        storeDefaults();
        if (!activated(activateNotes(), QStringLiteral("Lotus Notes"), "Lotus Notes")) return false;
        EmailKeys::type(ctx, list);
        for (int i = 0; i < 3; ++i) EmailKeys::send(ctx, QStringLiteral("{TAB}"));
        EmailKeys::type(ctx, email.gEmailSubject);
        EmailKeys::send(ctx, QStringLiteral("{TAB}"));
        EmailKeys::send(ctx, QStringLiteral("^{HOME}"));
        EmailKeys::type(ctx, email.gEmailMessage);
        return true;
    }
    // The memo is let go, so that the next message gets one of its own.
    void abandon() override {
        email.gNotesUIDocument.reset();
        email.gNotesSession.reset();
    }
    void finish() override { email.releaseNotes(); }
    QString describe(const CaughtError& e) override {
        email.releaseNotes();
        return e.number == NotesSession::kNotSignedOn
                   ? QStringLiteral("Please login to Lotus Notes first!")
                   : QStringLiteral("An Error has occurred while accessing Lotus Notes:\r\nError number: ") +
                         QString::number(e.number) + QStringLiteral("\r\nDescription: ") + e.description;
    }

private:
    bool activateNotes() {
        const QString title = QStringLiteral("Lotus Notes");
        if (EmailKeys::activate(ctx, title)) return true;
        rounds(500);
        return EmailKeys::activate(ctx, title);
    }
    static bool extraTab(const QString& v) {
        for (const char* r : {"Release 5.0.2", "Release 5.0.8", "Release 5.0.9", "Release 5.0.12", "Release 6"})
            if (v.startsWith(QLatin1String(r))) return true;
        return false;
    }
};

QStringList readLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QString text = Codec::toUnicode(f.readAll().toStdString());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// Writes one part; the error text, or empty when the file is complete.
// `path` becomes the name written.
QString writePart(const Part& part, bool asPdf, bool trim, bool removeLayout, QString& path, const QString& width) {
    std::unique_ptr<PartFile> out = asPdf ? MakePdfPartFile() : std::make_unique<TextPartFile>(trim);
    if (!out->open(path, width)) return out->error();
    for (const Row& r : layout(part, removeLayout)) {
        if (r.kind == Row::PageBreak) out->newPage();
        else out->line(r.text);
    }
    const bool whole = out->close();
    path = out->path();
    return whole ? QString() : out->error();
}

Outcome runAutoSend(MailRun run, AutoMailer& mailer, const SpoolFileRow& row) {
    RunContext& ctx = run.ctx;
    PointerGuard pointer(MousePointer::ArrowHourglass);
    run.progress.status(QStringLiteral("Transferring records..."));
    const QString workDir = MailWorkDir(ctx);
    QString workFile = BuildPcFileName(ctx, workDir, row, false);
    const ReportResult transfer = ProcTxt(ctx, run.options, run.progress, workFile, QString::fromLatin1(mailer.code()), row);
    workFile = transfer.writtenAs;
    if (!transfer) {
        QFile::remove(workFile);
        return Outcome::Stopped();  // the transfer has said why
    }
    ctx.connection.noteCreatedFile(workFile);
    const QStringList lines = readLines(workFile);
    QFile::remove(workFile);
    const Split split = MailDirectives::split(lines, mailer.form());
    const QString report = QString::fromStdString(row.fileName()).trimmed();
    if (split.parts.empty()) {
        const QString why = split.directives == 0 ? QStringLiteral("No MAILTO: line was found in report %1; nothing was mailed.")
                                                  : QStringLiteral("No MAILTO: line of report %1 names an address with a part "
                                                                   "behind it; nothing was mailed.");
        run.progress.status(why.arg(report));
        ctx.services.report(Failure{why.arg(report), MsgIcon::Exclamation, QStringLiteral("Tolvane")});
        return Outcome::Stopped();
    }

    const auto groups = messages(split.parts);
    EmailState& email = Email(ctx);
    const qsizetype draftsBefore = email.drafts.size();
    int sent = 0, failed = 0;
    // Why messages did not go, each text once, with how many it stopped.
    QStringList why;
    QList<int> whyCount;
    const auto fail = [&](const QString& text) {
        ++failed;
        if (text.isEmpty()) return;
        const qsizetype i = why.indexOf(text);
        if (i >= 0) {
            ++whyCount[i];
        } else {
            why << text;
            whyCount << 1;
        }
    };
    // Every message is tried: one that does not go is kept as a draft, and
    // the people of the other lists still get theirs.
    for (size_t g = 0; g < groups.size(); ++g) {
        QStringList addresses;
        for (const Part& p : groups[g])
            for (const QString& a : p.addresses)
                if (!addresses.contains(a)) addresses << a;
        // Too many recipients: the message is made but not sent, and kept as a draft.
        const bool tooMany = addresses.size() > kRecipientTable;
        // The user's Cancel stops the report: what is left is not tried.
        if (ctx.link.cancelRequested()) {
            failed += static_cast<int>(groups.size() - g);
            break;
        }
        QStringList partFiles;
        const int failedBefore = failed;
        bool ok = true;
        try {
            ok = mailer.begin();
            auto* oe = dynamic_cast<OutlookExpressMailer*>(&mailer);
            if (ok && oe) ok = oe->open(groups[g].front().list);
            for (const Part& p : groups[g]) {
                if (!ok) break;
                QString partFile =
                    BuildPcFileName(ctx, MailWorkDir(ctx), row, true, run.options.emailAsPdf ? QStringLiteral("pdf") : QString());
                const QString error = writePart(p, run.options.emailAsPdf, mailer.trimsText(), run.options.removeBlankLines,
                                                partFile, transfer.recordWidth);
                ctx.connection.noteCreatedFile(partFile);
                partFiles << partFile;
                if (!error.isEmpty()) {
                    fail(QStringLiteral("The part file %1 could not be written: %2").arg(partFile, error));
                    ok = false;
                    break;
                }
                ok = mailer.attach(partFile);
            }
            if (ok && tooMany) {
                fail(QStringLiteral("Report %1 names %2 recipients for one message; a message takes at most %3. "
                                    "That message was not mailed.")
                         .arg(report).arg(addresses.size()).arg(kRecipientTable));
                mailer.keep(addresses, groups[g].front().list, g + 1 == groups.size());
                ok = false;
            }
            ok = ok && mailer.send(addresses, groups[g].front().list, g + 1 == groups.size());
            if (ok) ++sent;
        } catch (const AutomationError& e) {
            fail(mailer.describe({e.number, e.description}));
            ok = false;
        } catch (const KeysError& e) {
            fail(mailer.describe({e.number, QString::fromStdString(e.what())}));
            ok = false;
        }
        if (!ok) {
            if (failed == failedBefore) fail({});  // the user has been told
            mailer.abandon();
        }
        if (mailer.deletesParts())
            for (const QString& f : partFiles) QFile::remove(f);
    }
    mailer.finish();
    const int total = static_cast<int>(groups.size());
    const QStringList drafts = email.drafts.mid(draftsBefore);
    email.draftsShown = email.drafts.size();
    QString status;
    if (failed) {
        status = QStringLiteral("Load to email attachment did not complete: %1 of %2 messages sent.").arg(sent).arg(total);
        QString text = QStringLiteral("%1 of %2 messages of report %3 were sent.").arg(sent).arg(total).arg(report);
        for (qsizetype i = 0; i < why.size(); ++i)
            text += QStringLiteral("\r\n") + (whyCount[i] > 1 ? QStringLiteral("%1 messages: ").arg(whyCount[i]) : QString()) + why[i];
        if (!drafts.isEmpty()) {
            status += QLatin1Char(' ') + DraftsWrittenText(drafts) + QLatin1Char('.');
            text += QStringLiteral("\r\n") + DraftsWrittenText(drafts) + QLatin1Char('.');
        }
        ctx.services.report(Failure{text, MsgIcon::Critical, QStringLiteral("Tolvane")});
    } else {
        const QString count = QStringLiteral("%1 message%2 sent").arg(sent).arg(sent == 1 ? QString() : QStringLiteral("s"));
        status = QStringLiteral("Load to email attachment is complete: ") + count + QLatin1Char('.');
        // How many went, for the run's line of the report.
        ctx.download.gDeliveryNote = count + QStringLiteral(" to the recipients the report names.");
    }
    run.progress.status(status);
    pointer.release();
    setMousePointer(MousePointer::Normal);
    FocusScreen(run);
    return failed ? Outcome::Stopped() : Outcome::Done();
}
}  // namespace

Outcome ProcAttachOAMS(MailRun run, const SpoolFileRow& row) {
    OutlookMailer m(run);
    return runAutoSend(run, m, row);
}

Outcome ProcAttachIEAMS(MailRun run, const SpoolFileRow& row) {
    OutlookExpressMailer m(run);
    return runAutoSend(run, m, row);
}

Outcome ProcAttachNotesAMS(MailRun run, const SpoolFileRow& row) {
    NotesMailer m(run);
    return runAutoSend(run, m, row);
}
