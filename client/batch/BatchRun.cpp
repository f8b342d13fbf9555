#include "BatchRun.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <exception>
#include <optional>

#include "BatchNaming.h"
#include "BatchParameters.h"
#include "Clock.h"
#include "Connect.h"
#include "CoreDelivery.h"
#include "DeliveryState.h"
#include "DesktopPaths.h"
#include "EmailCommon.h"
#include "FileMachineRegistry.h"
#include "FtpClientRunner.h"
#include "IniSettingsStore.h"
#include "ListSplfGrid.h"
#include "Lists.h"
#include "MailSetup.h"
#include "OfficeMailDelivery.h"
#include "OfficeSetup.h"
#include "OpenSelection.h"
#include "ProcessTypes.h"
#include "QProcessStarter.h"
#include "ReadingSettingsStore.h"
#include "RememberedSettings.h"
#include "RunContext.h"
#include "SettingValues.h"
#include "SpoolDownload.h"
#include "SpoolFileRow.h"
#include "TargetDiscovery.h"
#include "UnattendedConnectView.h"
#include "WorkDirectory.h"

namespace {
using namespace BatchRun;

const QString kTitle = QStringLiteral("Tolvane");

// The progress texts of a status bar nobody sees.
struct NoProgress : DownloadProgress {
    void status(const QString&) override {}
};

// A run stopped by SIGTERM, SIGINT or SIGHUP (cron's end, a closed terminal,
// Ctrl+C, `timeout`, which signals the run and then its process group) ends
// as a cancel does: the report in hand leaves an earlier file as it was and
// nothing in the work folder, the rest are named as not delivered. Every
// signal is caught: a repeated one only stops the waits for the host, never
// the clean-up.
volatile std::sig_atomic_t gStopSignal = 0;
volatile std::sig_atomic_t gStopSignals = 0;
int gStopPipe[2] = {-1, -1};
constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onStopSignal(int signal) {
    if (gStopSignal == 0) gStopSignal = signal;
    gStopSignals = gStopSignals + 1;
    const char wake = 1;
    [[maybe_unused]] const ssize_t n = ::write(gStopPipe[1], &wake, 1);
}

// While it lives, a stop signal cancels the link's transfer (the event loop
// sees it in every wait for the host); a second one drops the wait for the
// cancel's own reply. The run's end forgets the signals of this run.
class StopOnSignal {
public:
    explicit StopOnSignal(HostLink& link) {
        CatchStopSignals();
        if (gStopPipe[0] < 0) return;
        notifier_ = std::make_unique<QSocketNotifier>(gStopPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [&link] {
            char drained;
            while (::read(gStopPipe[0], &drained, 1) > 0) {
            }
            if (!gStopSignal) return;
            link.requestCancel();
            if (gStopSignals > 1) link.cancelGraceMs = 0;
        });
    }
    ~StopOnSignal() {
        gStopSignal = 0;
        gStopSignals = 0;
    }
    StopOnSignal(const StopOnSignal&) = delete;
    StopOnSignal& operator=(const StopOnSignal&) = delete;

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

QString stopSignalName() {
    switch (gStopSignal) {
    case SIGINT: return QStringLiteral("SIGINT");
    case SIGHUP: return QStringLiteral("SIGHUP");
    default: return QStringLiteral("SIGTERM");
    }
}

// A report not delivered because the run was told to stop.
ReportOutcome stoppedBefore(const SpoolFileRow& row) {
    ReportOutcome skipped;
    skipped.row = row.shownText();
    skipped.reason = QStringLiteral("The run was stopped (%1) before this report.").arg(stopSignalName());
    return skipped;
}

// The run settings: the remembered values, then each settings file in its
// order. A file that cannot be used ends the run (its status back).
std::optional<int> readSettings(RunContext& ctx, const Parameters& p, RunSettings& settings) {
    const QStringList offered = DiscoverDeliveryTargets(ctx);
    settings = RememberedRunSettings([&ctx](const QString& key) { return ctx.services.getSetting(key); },
                                     [&offered](const QString& d) { return offered.contains(d); });
    settings.user = ctx.services.getSetting(Setting::Wrksplf);
    settings.outq = ctx.services.getSetting(Setting::Outq);
    settings.library = ctx.services.getSetting(Setting::Library);
    for (QString* v : {&settings.user, &settings.outq, &settings.library})
        if (!HasValue(*v)) v->clear();
    if (settings.user.isEmpty()) settings.user = QStringLiteral("*CURRENT");
    for (const QString& path : p.settings) {
        const std::optional<QByteArray> bytes = ReadBatchSettingsFile(ctx, path);
        if (!bytes) return kExitSettingsFile;
        ctx.download.gSettingsFromFile = true;
        const QString before = settings.options.processType;
        using SettingsFile::Reader;
        SettingsFile::apply(settings, SettingsFile::lines(*bytes, Reader::Batch), Reader::Batch,
                            [&before] { return before; });
    }
    // The minus-sign rule follows the final destination.
    ProcessTypes::View view;
    settings.options.minusSignApplicable = ProcessTypes::viewOf(settings.options.processType, view) && view.minusSign;
    return std::nullopt;
}

// The stop sequence of a run: the link ends, and the work folder's files go.
int finish(RunContext& ctx, int status) {
    DeliveryState& delivery = DeliveryOf(ctx);
    if (delivery.gWordProAppHeld && delivery.releaseWordProApp) delivery.releaseWordProApp();
    delivery.gWordProAppHeld = false;
    Disconnect(ctx.link);
    ctx.connection.clearWorkDirectory();
    return status;
}

bool connected(RunContext& ctx) { return ctx.link.state() != SessionState::NotConnected; }

// One report, with the mail drafts it left.
ReportOutcome deliverNamingDrafts(RunContext& ctx, ReportRun& run, const DownloadOptions& options,
                                  const SpoolFileRow& row, const std::optional<QString>& name = std::nullopt) {
    const qsizetype draftsBefore = Email(ctx).drafts.size();
    if (gStopSignal) return stoppedBefore(row);
    ReportOutcome out = DeliverReport(run, options, row, name);
    if (gStopSignal && out.status == ReportOutcome::Canceled)
        out.reason = QStringLiteral("The run was stopped (%1) in this report.").arg(stopSignalName());
    // A compose window that holds this report alone becomes its draft now, so
    // that its line names it; one that gathers every report waits for the end.
    const ProcessType* type = FindProcessType(options.processType);
    if (type && type->mail && !options.attachMultiples) CloseMailWindows(ctx);
    out.drafts = Email(ctx).drafts.mid(draftsBefore);
    return out;
}

// The batch lines of a run, each printed as its report ends, so that a run
// killed later has told what it did. The reports gathered into one compose
// window are in no message until its draft is written at the end: their
// lines wait for it, and each names it.
class BatchLines {
public:
    explicit BatchLines(bool gathered) : gathered_(gathered) {}
    void add(ReportOutcome outcome) {
        ++count_;
        if (gathered_)
            held_.push_back(std::move(outcome));
        else
            failed_ += PrintBatchLines({outcome}, DraftsWrittenText);
    }
    // The lines held, with the drafts the compose windows left at the end:
    // every report gathered is in them, else the last report delivered.
    void end(const QStringList& drafts) {
        if (!drafts.isEmpty())
            for (ReportOutcome& o : held_)
                if (o.status == ReportOutcome::Delivered) o.drafts += drafts;
        failed_ += PrintBatchLines(held_, DraftsWrittenText);
        held_.clear();
        gathered_ = false;
    }
    int count() const { return count_; }
    int failed() const { return failed_; }

private:
    bool gathered_;
    std::vector<ReportOutcome> held_;
    int count_ = 0, failed_ = 0;
};

// The reports of the queue the settings name, as the list gives them, each
// line printed as it ends; the reports the list left out come back as
// outcomes. When nothing is delivered, the run ends with the status in `status`.
std::vector<ReportOutcome> deliverQueue(RunContext& ctx, RunSettings& settings, const SpoolSelection& selection,
                                        ReportRun& run, BatchLines& lines, std::optional<int>& status) {
    ctx.mode.gBatchNoDialogs = true;
    struct NoDialogs {
        RunContext& ctx;
        ~NoDialogs() { ctx.mode.gBatchNoDialogs = false; }
    } noDialogs{ctx};
    ListSplfGrid grid;
    defineSplfGridColumns(grid);
    QString library = selection.library;
    bool listed = true;
    if (selection.outq != QLatin1String("*ALL")) {
        const OutqCheck check = checkOutq(ctx.link, ctx.services, ctx.connection, selection.outq, selection.library);
        listed = bool(check.outcome);
        if (!check.library.isEmpty()) library = check.library;
    }
    if (listed) GetSpoolFiles(ctx.link, ctx.services, ctx.connection, grid, selection.outq, library, selection.user, selection.outq);
    // The reports the list could not take are reports not delivered.
    std::vector<ReportOutcome> leftOut;
    if (listed)
        for (const LeftOutReport& l : ctx.connection.gListLeftOut) {
            ReportOutcome o;
            o.row = l.report;
            o.reason = QStringLiteral("left out of the list: ") + l.reason;
            leftOut.push_back(o);
        }
    const int rows = listed ? grid.rowCount() : 0;
    if (rows == 0 || !connected(ctx)) {
        const int failed = PrintBatchLines(leftOut);
        if (connected(ctx) && failed == 0)
            std::fprintf(stderr, "Nothing to deliver: the output queue gave no spooled files.\n");
        status = !connected(ctx) ? kExitConnectFailed : failed ? kExitNotDelivered : kExitNothingToDeliver;
        return {};
    }
    ctx.download.gSelectedCount = rows;
    HostLink::Hold hold(ctx.link);
    // Once the link is lost (the message said so), the rest would only fail again.
    LinkLostWatch lostWatch(ctx.link);
    for (int i = 1; i <= rows; ++i) {
        const SpoolFileRow row = SpoolFileRow::fromGrid(grid, i, settings.options.translation);
        if (lostWatch.lost) {
            ReportOutcome skipped;
            skipped.row = row.shownText();
            skipped.reason = QStringLiteral("The link to the host was lost before this report.");
            lines.add(skipped);
            continue;
        }
        lines.add(deliverNamingDrafts(ctx, run, settings.options, row));
        if (ctx.download.gSelectedCount > 1) --ctx.download.gSelectedCount;
    }
    return leftOut;
}

int runChecked(RunContext& ctx, const QStringList& given) {
    // Everything is checked before anything connects.
    for (int i = 0; i < given.size(); ++i) {
        if (!given.at(i).trimmed().isEmpty()) continue;
        ReportBadParameter(ctx, BadParameter{QString::number(i + 1), given.at(i)},
                           QStringLiteral("(an empty argument)"));
        return kExitBadParameter;
    }
    const QStringList args = BatchArguments(given);
    // A line of nothing but separators names no report: nothing to do is not a success.
    if (args.isEmpty()) {
        ReportBadParameter(ctx, BadParameter{QStringLiteral("1"), given.join(QLatin1Char(','))},
                           QStringLiteral("(no parameter in the command line)"));
        return kExitBadParameter;
    }
    Parameters p;
    BadParameter bad;
    const QString start = ctx.services.now().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    if (!ReadParameters(args, start, p, bad)) {
        ReportBadParameter(ctx, bad);
        return kExitBadParameter;
    }
    // The values a first start fills in; the run's options and names rely on them.
    SeedFirstStart(ctx.services);
    // The mail programs of this platform, found by the destinations' discovery.
    if (!DeliveryOf(ctx).mailStandIns) InstallMailStandIns(ctx);
    RunSettings settings;
    if (const std::optional<int> status = readSettings(ctx, p, settings)) return *status;
    DownloadOptions& options = settings.options;
    ctx.download.gBatchFileName = p.name;

    auto refuse = [&ctx](const QString& text) {
        ctx.services.report(Failure{text, MsgIcon::Critical, kTitle});
        return kExitBadParameter;
    };
    const ProcessType* destination = FindProcessType(options.processType);
    if (!destination)
        return refuse(
            QStringLiteral("Please select a valid application or format to download the spool file to.  (\"") +
            options.processType + QStringLiteral("\")"));
    if (!destination->unattended)
        return refuse(QStringLiteral("The destination \"") + options.processType +
                      QStringLiteral("\" shows a window and cannot be used in a batch run."));
    const auto from = PageNumber(options.fromPage);
    const auto to = PageNumber(options.toPage);
    if (from && to && *from > *to)
        return refuse(QStringLiteral("The 'From' page number must be less than or equal to the 'To' page number."));
    if (!from) options.fromPage = QStringLiteral("*Start");
    if (!to) options.toPage = QStringLiteral("*End");
    SpoolSelection selection{settings.outq, settings.library, settings.user};
    if (p.wholeQueue() && !normaliseSelection(selection))
        return refuse(QStringLiteral("An iSeries outq and library name must be specified for user (*ALL)."));

    // One report named on the command line: of the mail programs only Outlook
    // mails it by itself, the others attach it. A whole queue goes as the
    // screen's driver sends it, automatically by every program that can.
    if (!p.wholeQueue() &&
        (destination->id == Destination::OutlookExpressMail || destination->id == Destination::LotusNotes))
        options.autoSend = false;

    NoProgress progress;
    // The documents and the printer, or the office and mail programs (which read the
    // settings' macro fields and the document name a settings file gave).
    auto dispatch = [&ctx, &progress, &settings](const ProcessType& type,
                                                 const DownloadOptions& o) -> std::optional<DeliveryProcedure> {
        if (std::optional<DeliveryProcedure> core = CoreDeliveryFor(ctx, o, progress, type)) return core;
        return OfficeMailDeliveryFor(ctx, settings, progress, type);
    };
    ReportRun run{ctx,
                  [&dispatch](const ProcessType& type, const DownloadOptions& o) -> std::optional<ReportDelivery> {
                      std::optional<DeliveryProcedure> procedure = dispatch(type, o);
                      if (!procedure) return std::nullopt;
                      return ReportDelivery{std::move(*procedure)};
                  },
                  // Every report named by the one batch rule, as a report named by its attributes is.
                  [&ctx, &settings](SaveDialogKind dialog, const SpoolFileRow& row) {
                      return std::optional<ChosenName>(ChosenName{BatchFileName(ctx, settings, dialog, row)});
                  },
                  {}};

    UnattendedConnectView view(ctx.connection, ctx.link);
    try {
        // A run stopped before it connected, or while it did, names its report as not delivered.
        auto stoppedUnconnected = [&] {
            if (!p.wholeQueue()) PrintBatchLines({stoppedBefore(SpoolFileRow(BatchRow(p)))});
            return finish(ctx, kExitNotDelivered);
        };
        if (gStopSignal) return stoppedUnconnected();
        // A "Save Path" that is not there ends the run before it connects, and makes no folders.
        if (const Outcome savePath = CheckSavePath(ctx.services); !savePath) {
            ctx.services.report(*savePath.failure);
            return finish(ctx, kExitNoSavePath);
        }
        if (!ConnectToHost(ctx.link, ctx.services, ctx.connection, view) || !connected(ctx))
            return gStopSignal ? stoppedUnconnected() : finish(ctx, kExitConnectFailed);
        BatchLines lines(destination->mail && options.attachMultiples);
        std::vector<ReportOutcome> leftOut;
        if (p.wholeQueue()) {
            std::optional<int> ended;
            leftOut = deliverQueue(ctx, settings, selection, run, lines, ended);
            if (ended) return finish(ctx, *ended);
        } else {
            const SpoolFileRow row(BatchRow(p));
            std::optional<QString> name;
            if (destination->dialog != SaveDialogKind::None)
                name = BatchFileName(ctx, settings, destination->dialog, row);
            ctx.download.gSelectedCount = 1;
            HostLink::Hold hold(ctx.link);
            lines.add(deliverNamingDrafts(ctx, run, options, row, name));
        }
        // The mail windows still open become drafts: they hold the last report delivered.
        const qsizetype draftsBefore = Email(ctx).drafts.size();
        CloseMailWindows(ctx);
        lines.end(Email(ctx).drafts.mid(draftsBefore));
        for (ReportOutcome& o : leftOut) lines.add(std::move(o));
        // A message that could not be left as a draft is a report not delivered.
        const int failed = lines.failed() + Email(ctx).lostDrafts;
        return finish(ctx, lines.count() == 0 ? kExitNothingToDeliver : failed ? kExitNotDelivered : 0);
    } catch (const ProgramEnd& e) {
        return finish(ctx, e.exitStatus);
    }
}
}  // namespace

int RunUnattended(RunContext& ctx, const QStringList& arguments) {
    ctx.mode.gBatchMode = true;
    ctx.connection.gCommandArgs = arguments;
    ctx.connection.gCommandLine = arguments.join(QLatin1Char(','));
    // Remembered settings that cannot be read end the run before anything is
    // done (the file is set aside, so that the next run starts afresh).
    if (ctx.services.settings && !ctx.services.settings->readProblem(QString::fromLatin1(Services::kAppTitle)).isEmpty()) {
        ctx.services.getSetting(Setting::Defaults);
        std::fprintf(stderr, "Tolvane: The batch run ends here, as its remembered settings cannot be read.\n");
        return kExitSettingsFile;
    }
    // The run leaves the remembered settings as they were; only a saved
    // password the host refused is cleared for good.
    if (ctx.services.settings)
        ctx.services.settings = std::make_unique<ReadingSettingsStore>(std::move(ctx.services.settings),
                                                                       QSet<QString>{Setting::Password.stored()});
    try {
        const StopOnSignal stop(ctx.link);
        const int status = runChecked(ctx, arguments);
        // A stopped run ends as the shell reports a signal's end: 128 and its number.
        return gStopSignal ? 128 + gStopSignal : status;
    } catch (const ProgramEnd& e) {
        return finish(ctx, e.exitStatus);
    } catch (const std::exception& e) {
        // What no step expected still ends the run, with its message.
        ctx.services.report(Failure{QStringLiteral("Error 5 ") + QString::fromLocal8Bit(e.what()), MsgIcon::None, kTitle});
        return finish(ctx, 1);
    }
}

void CatchStopSignals() {
    if (gStopPipe[0] >= 0 || ::pipe2(gStopPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction stop {};
    stop.sa_handler = onStopSignal;
    sigemptyset(&stop.sa_mask);
    for (const int signal : kStopSignals) sigaddset(&stop.sa_mask, signal);
    stop.sa_flags = SA_RESTART;
    for (const int signal : kStopSignals) {
        struct sigaction before {};
        // A signal the starter set aside (SIGINT of a job in the background) stays set aside.
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &stop, nullptr);
    }
}

void ReportBadParameter(RunContext& ctx, const BadParameter& bad, const QString& why) {
    ctx.services.report(Failure{QStringLiteral("Batch run error: Parameter type = ") + bad.type +
                           QStringLiteral(" Parameter value = ") + bad.value +
                           (why.isEmpty() ? QString() : QStringLiteral("  ") + why),
                       MsgIcon::Critical, kTitle});
}

std::optional<QByteArray> ReadBatchSettingsFile(RunContext& ctx, const QString& path) {
    QByteArray bytes;
    QString why;
    const QFileInfo file(path);
    if (file.exists() && !file.isFile())
        why = QStringLiteral("(the file cannot be read: it is not a plain file)");
    else if (!SettingsFile::read(path, bytes))
        why = bytes.size() > SettingsFile::kMaxBytes
                  ? QStringLiteral("(the file cannot be read: it is larger than %1 bytes)").arg(SettingsFile::kMaxBytes)
                  : QStringLiteral("(the file cannot be read)");
    else if (bytes.contains('\0'))
        why = QStringLiteral("(not a settings file: it holds NUL bytes)");
    else if (!SettingsFile::isSettingsFile(bytes))
        why = QStringLiteral("(not a settings file: it has no \"[Properties]\" line)");
    if (why.isEmpty()) return bytes;
    ReportBadParameter(ctx, BadParameter{QStringLiteral("SETS"), path}, why);
    return std::nullopt;
}

void ReportOnStandardError(RunContext& ctx, std::function<void(const QString&)> write) {
    auto standardError = std::make_shared<BatchMessageBoxes>(std::move(write));
    ctx.services.reporter = std::make_unique<MessageBoxReporter>([standardError] { return standardError.get(); }, &ctx.mode);
    ctx.services.asker = std::make_unique<MessageBoxAsker>([standardError] { return standardError.get(); }, [] { return true; });
}

void UseUnattendedServices(RunContext& ctx) {
    ctx.services.clock = std::make_unique<RealClock>();
    ctx.services.paths = std::make_unique<DesktopPaths>();
    ctx.services.msg = std::make_unique<BatchMessageBoxes>();
    ReportOnStandardError(ctx);
    auto store = std::make_unique<IniSettingsStore>(ctx.services.paths->configPath(), [&ctx](const QString& problem) {
        ctx.services.report(Failure{problem, MsgIcon::Exclamation, QString::fromLatin1(Services::kAppTitle)});
    });
    store->endOnProblem();
    ctx.services.settings = std::move(store);
    ctx.services.machineRegistry = std::make_unique<FileMachineRegistry>(FileMachineRegistry::defaultPath(ctx.services.paths->appPath()));
    ctx.services.processes = std::make_unique<QProcessStarter>([&ctx] { return ctx.services.clock.get(); });
    ctx.services.ftp = std::make_unique<FtpClientRunner>();
    InstallOfficeStandIns(ctx);
}

int PrintBatchLines(const std::vector<ReportOutcome>& outcomes,
                    const std::function<QString(const QStringList& drafts)>& draftsText) {
    int failed = 0;
    for (const ReportOutcome& o : outcomes) {
        const bool ok = o.status == ReportOutcome::Delivered;
        failed += !ok;
        // A report that went elsewhere than into a file (mailed, shown) is named instead.
        const bool file = ok && !o.target.isEmpty();
        QString what = file ? o.target : o.row.simplified();
        if (!ok && !o.reason.isEmpty()) what += QStringLiteral(": ") + o.reason;
        // A cut-short file must not pass for the report.
        if (!ok && !o.partial.isEmpty())
            what += (o.reason.isEmpty() ? QStringLiteral(": ") : o.reason.endsWith(u'.') ? QStringLiteral(" ") : QStringLiteral(". ")) +
                    QStringLiteral("The part that arrived is kept in ") + o.partial + QLatin1Char('.');
        if (ok && !o.note.isEmpty()) what += QStringLiteral(": ") + o.note;
        // Where the messages it left for the user are.
        const QString kept = o.drafts.isEmpty() || !draftsText ? QString() : draftsText(o.drafts) + QLatin1Char('.');
        if (!kept.isEmpty() && !what.contains(kept))
            what += (!ok && !o.reason.isEmpty() ? QStringLiteral(" ") : QStringLiteral(": ")) + kept;
        // Names from the host reach a terminal: no escape sequence may act there.
        std::printf("%-9s %s\n", !ok ? "FAILED" : file ? "written" : "delivered", qPrintable(PrintableText(what)));
    }
    std::fflush(stdout);
    return failed;
}
