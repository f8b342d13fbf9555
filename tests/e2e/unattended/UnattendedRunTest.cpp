// The batch run below the windows, in-process against hostsim on a virtual
// clock: the printer through the services, and a host that falls silent
// (whose wait a real run would sit through for minutes).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <stdexcept>
#include <functional>

#include "BatchParameters.h"
#include "BatchRun.h"
#include "Connect.h"
#include "CoreTestSupport.h"
#include "HostSimFixture.h"
#include "TransferTestSupport.h"

namespace {
const QString kInvoice = QStringLiteral("INVOICE BILLING SWUSER 104211 0001 2004-03-15 14-22-07.txt");
const QString kStatement = QStringLiteral("STATEMENT STMTRUN SWUSER 104230 0002 2004-03-31 19-05-44.txt");

struct RunEnd {
    int status = -2;
    std::string out;
};

struct UnattendedHost {
    CoreTestContext t;
    std::unique_ptr<HostSimFixture> host;
    QString out = QDir(t.dir.path()).filePath(QStringLiteral("out"));

    explicit UnattendedHost(HostSimFaults faults = {}) {
        host = std::make_unique<HostSimFixture>(HostSimFixtureOptions{.faults = faults, .clock = t.clock});
        QDir().mkpath(out);
        t.ctx.services.saveSetting("URL", host->address());
        t.ctx.services.saveSetting("User", "SWUSER");
        t.ctx.services.saveSetting("Save Path", out + QLatin1Char('/'));
        t.ctx.services.saveSetting("FullName", "1");
        t.ctx.services.saveSetting("Wait time", "2");
        rememberSignOn(t.ctx.services, "SWUSER", "SWPASS");
        // Its messages are the run's standard error.
        t.boxes->answerAllWithDefault = true;
    }
    // `more`: further lines (a later line of a key wins).
    QString settingsFile(const char* process, const QByteArray& more = {}) {
        const QString p = QDir(t.dir.path()).filePath(QStringLiteral("t.spw"));
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Properties]\r\nID=Spwrter_10.0\r\nOutq=QPRINT\r\nLibrary=QGPL\r\nUser=*ALL\r\nProcess=" +
                QByteArray(process) + "\r\n" + more);
        return QStringLiteral("SETS:") + p;
    }
    RunEnd run(const QStringList& args) {
        RunEnd r;
        testing::internal::CaptureStdout();
        r.status = RunUnattended(t.ctx, args);
        r.out = testing::internal::GetCapturedStdout();
        return r;
    }
    QByteArray file(const QString& name) const {
        QFile f(QDir(out).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
}  // namespace

TEST(UnattendedRun, APrinterRunPrintsThroughTheServicesPrinter) {
    UnattendedHost h;
    const RunEnd r = h.run({h.settingsFile("PC printer"), QStringLiteral("FILE:STATEMENT"), QStringLiteral("JOB:STMTRUN"),
                         QStringLiteral("USER:SWUSER"), QStringLiteral("NBR:104230"), QStringLiteral("SEQ:2")});
    EXPECT_EQ(r.status, 0) << h.t.boxes->texts().join(u'\n').toStdString();
    ASSERT_EQ(h.t.printer->documents().size(), 1u);
    EXPECT_EQ(h.t.printer->documents().front().size(), 6u) << "its six pages";
    EXPECT_TRUE(h.t.printer->documents().front().front().lines.join(u'\n').contains(u"STATEMENT OF ACCOUNT"));
    EXPECT_NE(r.out.find("delivered STATEMENT"), std::string::npos) << r.out;
    EXPECT_EQ(h.t.ctx.link.socketIfOpen(), nullptr) << "the run ends its link";
}

// The host answers the list and the first report, then nothing: the run
// waits as long as a reply may take, says so, and ends with the rest failed.
TEST(UnattendedRun, AHostThatFallsSilentFailsTheRestAndKeepsTheEarlierFile) {
    UnattendedHost whole;
    ASSERT_EQ(whole.run({whole.settingsFile("Text file"), QStringLiteral("FILE:*ALL")}).status, 0);
    const int requests = static_cast<int>(whole.host->jobFrames().size());

    HostSimFaults f;
    f.silentAfter = requests - 3;
    UnattendedHost h(f);
    WriteFileBytes(QDir(h.out).filePath(kStatement), "yesterday's statement\n");
    const RunEnd r = h.run({h.settingsFile("Text file"), QStringLiteral("FILE:*ALL")});
    EXPECT_EQ(r.status, kExitNotDelivered);
    EXPECT_EQ(h.file(kInvoice), whole.file(kInvoice));
    EXPECT_EQ(h.file(kStatement), QByteArray("yesterday's statement\n"));
    EXPECT_NE(r.out.find("FAILED    STATEMENT"), std::string::npos) << r.out;
    EXPECT_TRUE(h.t.boxes->texts().join(u'\n').contains(u"Error in SendReceive procedure.")) << h.t.boxes->texts().join(u'\n').toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir(h.out).filePath(QStringLiteral("SWUSER")))) << "no work folder is left";
}

// A report cut short by the host leaves what arrived under a new name beside
// yesterday's file: its FAILED line says where, so that nobody takes it for
// the report; yesterday's file stays as it was.
TEST(UnattendedRun, AReportCutShortNamesTheFileThatHoldsWhatArrived) {
    UnattendedHost whole;
    ASSERT_EQ(whole.run({whole.settingsFile("Text file"), QStringLiteral("FILE:*ALL")}).status, 0);
    const int requests = static_cast<int>(whole.host->jobFrames().size());
    HostSimFaults silent, dropped, refused;
    silent.silentAfter = requests - 2;
    dropped.dropAfter = requests - 2;
    refused.invalidAfterBlocks = 1;
    const std::pair<const char*, HostSimFaults> cases[] = {{"silent", silent}, {"dropped", dropped}, {"refused", refused}};
    for (const auto& [name, faults] : cases) {
        UnattendedHost h(faults);
        WriteFileBytes(QDir(h.out).filePath(kStatement), "yesterday's statement\n");
        const RunEnd r = h.run({h.settingsFile("Text file"), QStringLiteral("FILE:*ALL")});
        EXPECT_EQ(r.status, kExitNotDelivered) << name;
        EXPECT_EQ(h.file(kStatement), QByteArray("yesterday's statement\n")) << name;
        const QString cut = QStringLiteral("STATEMENT STMTRUN SWUSER 104230 0002 2004-03-31 19-05-44 001.txt");
        const QByteArray arrived = h.file(cut);
        ASSERT_FALSE(arrived.isEmpty()) << name;
        EXPECT_TRUE(whole.file(kStatement).startsWith(arrived)) << name << ": only what the host sent";
        EXPECT_LT(arrived.size(), whole.file(kStatement).size()) << name;
        const std::string line = "The part that arrived is kept in " + QDir(h.out).filePath(cut).toStdString() + ".";
        const size_t failed = r.out.find("FAILED    STATEMENT");
        ASSERT_NE(failed, std::string::npos) << name << r.out;
        EXPECT_NE(r.out.substr(failed, r.out.find('\n', failed) - failed).find(line), std::string::npos) << name << r.out;
    }
}

// A server that takes the connection and never answers the sign-on is no
// link: the run gives up at the reply's limit and leaves the files as they were.
TEST(UnattendedRun, AServerThatNeverAnswersTheSignOnIsNoLink) {
    HostSimFaults f;
    f.silentSignOn = true;
    UnattendedHost h(f);
    WriteFileBytes(QDir(h.out).filePath(kInvoice), "yesterday's invoice\n");
    const RunEnd r = h.run({h.settingsFile("Text file"), QStringLiteral("FILE:*ALL")});
    EXPECT_EQ(r.status, kExitConnectFailed);
    EXPECT_TRUE(h.t.boxes->texts().join(u'\n').contains(u"Could not attach to the server program")) << h.t.boxes->texts().join(u'\n').toStdString();
    EXPECT_EQ(QDir(h.out).entryList(QDir::Files), QStringList{kInvoice});
    EXPECT_EQ(h.file(kInvoice), QByteArray("yesterday's invoice\n"));
}

// What cannot be run is found before anything reaches the host, and is no success.
TEST(UnattendedRun, ARunThatNamesNothingToListIsAParameterError) {
    struct Case {
        const char* name;
        std::function<QStringList(UnattendedHost&)> args;
        const char* message;
    };
    const Case cases[] = {
        {"a command line of separators only", [](UnattendedHost&) { return QStringList{QStringLiteral(",,\t,")}; },
         "(no parameter in the command line)"},
        {"a queue without its library, for every user",
         [](UnattendedHost& h) {
             return QStringList{h.settingsFile("Text file", "User=\r\nLibrary=\r\n"), QStringLiteral("FILE:*ALL")};
         },
         "An iSeries outq and library name must be specified for user (*ALL)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnattendedHost h;
        const RunEnd r = h.run(c.args(h));
        EXPECT_EQ(r.status, kExitBadParameter);
        EXPECT_TRUE(h.t.boxes->texts().join(u'\n').contains(QString::fromLatin1(c.message)))
            << h.t.boxes->texts().join(u'\n').toStdString();
        EXPECT_TRUE(h.host->listenerFrames().empty());
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

// A command line is the run's whole: kept as it was given, and a run that
// cannot go on ends by itself with its status, before anything reaches the
// host and with no wait for a person (no splash, no window).
TEST(UnattendedRun, ARunThatCannotGoOnEndsByItselfBeforeItConnects) {
    UnattendedHost h;
    const qint64 before = h.t.clock->nowMs();
    const RunEnd r = h.run({QStringLiteral("SETS:a.spw"), QStringLiteral("FILE:QSYSPRT")});
    EXPECT_EQ(r.status, kExitSettingsFile);
    EXPECT_EQ(h.t.ctx.connection.gCommandLine, "SETS:a.spw,FILE:QSYSPRT");
    EXPECT_TRUE(h.host->listenerFrames().empty()) << "the run connects after checking its parameters";
    EXPECT_LT(h.t.clock->nowMs() - before, 1000) << "nothing is waited for";
    EXPECT_EQ(h.t.ctx.link.socketIfOpen(), nullptr);
}

// What no step of the run expected ends it with its message and a status
// that is no success; nothing was connected before it.
TEST(UnattendedRun, AnErrorInTheRunEndsItWithItsMessage) {
    UnattendedHost h;
    h.t.ctx.services.makeSocket = []() -> std::unique_ptr<HostSocket> { throw std::runtime_error("no route"); };
    const RunEnd r = h.run({h.settingsFile("Text file"), QStringLiteral("FILE:*ALL")});
    EXPECT_NE(r.status, 0);
    EXPECT_TRUE(h.t.boxes->texts().join(u'\n').contains(u"Error 5 no route")) << h.t.boxes->texts().join(u'\n').toStdString();
    EXPECT_TRUE(h.host->listenerFrames().empty());
}

// A whole queue (QGPL/QPRINT for every user) is listed with no screen, and
// every report goes to its file under its attributes' name with no dialog
// and no question.
TEST(UnattendedRun, AWholeQueueShowsNoDialog) {
    UnattendedHost h;
    const RunEnd r = h.run({h.settingsFile("Text file"), QStringLiteral("FILE:*ALL")});
    EXPECT_EQ(r.status, 0) << h.t.boxes->texts().join(u'\n').toStdString();
    EXPECT_TRUE(h.t.boxes->shown().empty()) << h.t.boxes->texts().join(u'\n').toStdString();
    for (const QString& name : {kInvoice, kStatement})
        EXPECT_NE(r.out.find("written   " + QDir(h.out).filePath(name).toStdString()), std::string::npos) << r.out;
}

// From and To that name no page read as the report's ends.
TEST(UnattendedRun, NonNumbersInThePageRangeReadAsTheEnds) {
    for (const PageRangeCase& c : kNonNumberPageRanges) {
        SCOPED_TRACE(c.from);
        UnattendedHost h;
        const QByteArray range = QByteArray("From=") + c.from + "\r\nTo=" + c.to + "\r\n";
        const RunEnd r = h.run({h.settingsFile("Text file", range), QStringLiteral("FILE:INVOICE"),
                                QStringLiteral("JOB:BILLING"), QStringLiteral("USER:SWUSER"),
                                QStringLiteral("NBR:104211"), QStringLiteral("SEQ:1")});
        EXPECT_EQ(r.status, 0) << h.t.boxes->texts().join(u'\n').toStdString();
        std::vector<std::string> downloads;
        for (const std::string& f : h.host->jobFrames())
            if (f.size() == 124 && f[10] == 'W') downloads.push_back(f);
        ASSERT_FALSE(downloads.empty());
        EXPECT_EQ(downloads.front().substr(51, 20), c.pages);
    }
}

// One report named on the command line prints with the remembered printer
// format, as every report of a whole queue does.
TEST(UnattendedRun, OneReportPrintsWithTheRememberedFormatAsAWholeQueueDoes) {
    auto formatOf = [](const QStringList& log) {
        return log.filter(QRegularExpression(QStringLiteral("^(size|orientation) ")));
    };
    UnattendedHost one;
    one.t.ctx.services.saveSetting(QStringLiteral("80 Fontsize"), QStringLiteral("14"));
    one.t.ctx.services.saveSetting(QStringLiteral("Orientation 1"), QStringLiteral("False"));
    ASSERT_EQ(one.run({one.settingsFile("PC printer"), QStringLiteral("FILE:STATEMENT"), QStringLiteral("JOB:STMTRUN"),
                       QStringLiteral("USER:SWUSER"), QStringLiteral("NBR:104230"), QStringLiteral("SEQ:2")})
                  .status,
              0);
    const QString format = formatOf(one.t.printer->log()).join(u',');
    EXPECT_TRUE(format.contains(QStringLiteral("size 14"))) << format.toStdString();
    EXPECT_TRUE(format.contains(QStringLiteral("orientation 2"))) << format.toStdString();

    UnattendedHost queue;
    queue.t.ctx.services.saveSetting(QStringLiteral("80 Fontsize"), QStringLiteral("14"));
    queue.t.ctx.services.saveSetting(QStringLiteral("Orientation 1"), QStringLiteral("False"));
    ASSERT_EQ(queue.run({queue.settingsFile("PC printer"), QStringLiteral("FILE:*ALL")}).status, 0);
    ASSERT_EQ(queue.t.printer->documents().size(), 2u) << "both reports of the queue";
    const QStringList all = formatOf(queue.t.printer->log());
    EXPECT_EQ(all.join(u','), format + u',' + format);
}

// The services of a run nobody watches: its message boxes answer themselves
// with their default button, and there is nothing that could show a dialog.
TEST(UnattendedRun, ItsServicesAnswerBoxesAndShowNoDialogs) {
    ensureCoreApplication();
    QTemporaryDir home;
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    {
        RunContext ctx;
        UseUnattendedServices(ctx);
        EXPECT_NE(dynamic_cast<BatchMessageBoxes*>(ctx.services.msg.get()), nullptr);
        EXPECT_EQ(ctx.services.presenter, nullptr);
        EXPECT_TRUE(ctx.services.nobodyAnswers());
        EXPECT_EQ(ctx.services.msgBox(QStringLiteral("Replace?"), MsgButtons::OKCancel, MsgIcon::Exclamation,
                                      QStringLiteral("Save"), 2),
                  vbCancel);
    }
    if (old.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", old);
}
