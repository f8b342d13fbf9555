#include "EmailCommon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "Codec.h"
#include "DeliveryState.h"
#include "KeyboardLocks.h"
#include "MailAutomation.h"
#include "MousePointer.h"
#include "PcFileName.h"
#include "ProcPDF.h"
#include "ProcTxt.h"
#include "RunContext.h"
#include "SendKeys.h"
#include "SettingValues.h"

namespace {
// Bounded, not millions of tries: a window that has not
// come after these tries is not coming.
constexpr int kActivationTries = 20;
constexpr int kRoundsBetweenTries = 25;

bool retry(RunContext& ctx, const std::function<bool()>& once) {
    for (int i = 0; i < kActivationTries; ++i) {
        if (once()) return true;
        for (int r = 0; r < kRoundsBetweenTries; ++r) ctx.services.clock->pumpOnce();
    }
    return false;
}
}  // namespace

EmailState& Email(RunContext& ctx) {
    DeliveryState& delivery = DeliveryOf(ctx);
    if (!delivery.emailState) delivery.emailState = std::make_shared<EmailState>();
    return *delivery.emailState;
}

QString DraftsWrittenText(const QStringList& drafts) {
    if (drafts.size() == 1) return QStringLiteral("Draft written to %1").arg(QDir::toNativeSeparators(drafts.front()));
    QStringList names;
    for (const QString& d : drafts) names << QFileInfo(d).fileName();
    return QStringLiteral("%1 drafts written to %2: %3")
        .arg(drafts.size())
        .arg(QDir::toNativeSeparators(QFileInfo(drafts.front()).absolutePath()), names.join(QStringLiteral(", ")));
}

namespace EmailKeys {
void send(RunContext& ctx, const QString& keys, bool wait) { SendKeysKeepingLocks(ctx.services, keys, wait); }
void type(RunContext& ctx, const QString& data, bool wait) { SendKeysKeepingLocks(ctx.services, SendKeys::literal(data), wait); }
bool activate(RunContext& ctx, const QString& title) {
    return ctx.services.keyboard && retry(ctx, [&] { return ctx.services.keyboard->activate(title); });
}
bool activateTask(RunContext& ctx, qint64 task) {
    return ctx.services.keyboard && task != 0 && retry(ctx, [&] { return ctx.services.keyboard->activateTask(task); });
}
}  // namespace EmailKeys

namespace MailOpenings {
using L = MailOpening::Loading;
const MailOpening AttachNetscape{MailFile::Attachment, "Netscape", nullptr, false, L::BeforeStart, "-compose", nullptr, false, nullptr};
const MailOpening AttachOutlookExpress{MailFile::Attachment, "Outlook Express", nullptr, false, L::BeforeStart, "/mailurl:test",
                                       nullptr, false, nullptr};
const MailOpening AttachNotes{MailFile::Attachment, "Notes", "Starting Lotus Notes...", true, L::AfterStart, nullptr,
                              NotesUIWorkspace::kProgId, false, "Load to Notes did not complete."};
const MailOpening AttachOutlook{MailFile::Attachment, "Outlook", "Starting Outlook...", false, L::ByDelivery, nullptr,
                                OutlookApplication::kProgId, true, nullptr};
const MailOpening BodyOutlookExpress{MailFile::BodyFile, "Outlook Express", "Starting Outlook Express", false, L::BeforeStart,
                                     "/mailurl:test", nullptr, false, nullptr};
const MailOpening BodyNotes{MailFile::BodyText, "Notes", "Starting Lotus Notes...", true, L::AfterStart, nullptr,
                            NotesUIWorkspace::kProgId, false, nullptr};
const MailOpening BodyOutlook{MailFile::BodyText, "Outlook", "Starting Outlook...", true, L::ByDelivery, nullptr,
                              OutlookApplication::kProgId, true, nullptr};
}  // namespace MailOpenings

namespace {
void cannotStart(RunContext& ctx, const char* program) {
    ctx.services.report(Failure{QString::fromLatin1(program) + QStringLiteral(" could not be started."), MsgIcon::Critical,
                       QStringLiteral("Tolvane")});
    setMousePointer(MousePointer::Normal);
}

// The report as the delivery's work file; empty when the transfer did not write it.
QString writeMailFile(MailRun& run, const SpoolFileRow& row, MailFile kind) {
    RunContext& ctx = run.ctx;
    setMousePointer(MousePointer::ArrowHourglass);
    run.progress.status(QStringLiteral("Transferring records..."));
    const bool attachment = kind == MailFile::Attachment;
    const bool pdf = attachment && run.options.emailAsPdf;
    QString name = BuildPcFileName(ctx, MailWorkDir(ctx), row, attachment, pdf ? QStringLiteral("pdf") : QString());
    const ReportResult transfer = pdf ? ProcPDF(ctx, run.options, run.progress, name, row)
                                      : ProcTxt(ctx, run.options, run.progress, name, QStringLiteral("Text"), row);
    name = transfer.writtenAs;
    if (!transfer) {
        setMousePointer(MousePointer::Normal);
        return {};
    }
    ctx.connection.noteCreatedFile(name);
    return name;
}

// The work file's lines joined by CR LF; false when it could not be read.
bool readBody(const QString& name, QString& body) {
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QString text = Codec::toUnicode(f.readAll().toStdString());
    if (text.endsWith(QLatin1String("\r\n"))) text.chop(2);
    body = text;
    return f.error() == QFileDevice::NoError;
}

std::shared_ptr<AutomationObject> reach(RunContext& ctx, const MailOpening& how) {
    const QString id = QString::fromLatin1(how.progId);
    if (how.running) {
        try {
            return ctx.services.automation->getObject(id);
        } catch (const AutomationError&) {
        }
    }
    try {
        return ctx.services.automation->createObject(id);
    } catch (const AutomationError&) {
        return nullptr;
    }
}
}  // namespace

qint64 StartMailProgram(RunContext& ctx, const char* program, const QStringList& arguments) {
    QStringList args = ProcessStarter::splitCommandLine(Email(ctx).gMailProgram);
    const QString exe = args.isEmpty() ? QString() : args.takeFirst();
    const qint64 task = exe.isEmpty() ? 0 : ctx.services.processes->startTask(exe, args + arguments, ProcessStarter::NormalFocus);
    if (task == 0) cannotStart(ctx, program);
    return task;
}

std::optional<OpenedMail> OpenMail(MailRun& run, const SpoolFileRow& row, const MailOpening& how, bool start) {
    RunContext& ctx = run.ctx;
    OpenedMail out;
    out.file = writeMailFile(run, row, how.file);
    if (out.file.isEmpty()) return std::nullopt;
    if (how.hourglass) setMousePointer(MousePointer::Hourglass);
    run.progress.status(how.starting ? QString::fromLatin1(how.starting)
                                     : QStringLiteral("Starting ") + Email(ctx).gMailProgram);
    const QString loading = QStringLiteral("Loading spool file...");
    if (how.loading == MailOpening::BeforeStart) run.progress.status(loading);
    if (start && how.argument) {
        out.task = StartMailProgram(ctx, how.program, {QString::fromLatin1(how.argument)});
        if (out.task == 0) return std::nullopt;
    } else if (start) {
        out.app = reach(ctx, how);
        if (!out.app) {
            cannotStart(ctx, how.program);
            if (how.notStarted) run.progress.status(QString::fromLatin1(how.notStarted));
            return std::nullopt;
        }
    }
    if (how.loading == MailOpening::AfterStart) run.progress.status(loading);
    if (how.file == MailFile::BodyText && !readBody(out.file, out.body)) {
        ctx.services.report(Failure{QStringLiteral("The work file ") + out.file + QStringLiteral(" could not be read."),
                           MsgIcon::Critical, QStringLiteral("Tolvane")});
        setMousePointer(MousePointer::Normal);
        return std::nullopt;
    }
    return out;
}

Outcome MailDone(MailRun& run, const QString& status, bool focus) {
    run.progress.status(status);
    if (focus) FocusScreen(run);
    setMousePointer(MousePointer::Normal);
    return Outcome::Done();
}

QString ErrorText(int number, const QString& description) {
    return QStringLiteral("Error") + (number < 0 ? QString::number(number) : QStringLiteral(" ") + QString::number(number)) +
           QStringLiteral(" ") + description;
}

QString CompanyName(RunContext& ctx) {
    const QString c = ctx.services.getSetting(Setting::CompanyName);
    return IsStored(c) ? c : QString();
}

QString MailWorkDir(RunContext& ctx) { return ctx.services.paths ? ctx.services.paths->shortPath(ctx.connection.gWorkDir) : ctx.connection.gWorkDir; }

void FocusScreen(MailRun& run) {
    if (!run.ctx.services.nobodyAnswers()) run.progress.giveFocus();
}

