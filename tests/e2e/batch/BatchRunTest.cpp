// The real Swdesk in batch mode against hostsim: what it writes, what it
// says and the exit status, for each way a run can end.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <sys/resource.h>

#include "BatchRun.h"
#include "Codec.h"
#include "HostLink.h"
#include "HostSimFixture.h"
#include "IniSettingsStore.h"
#include "SignOn.h"
#include "TestSupport.h"

namespace {
struct RunResult {
    QProcess::ExitStatus exitStatus = QProcess::NormalExit;
    int exitCode = -1;
    QString out, err;
};

struct BatchHost {
    explicit BatchHost(HostSimFaults faults = {}) : host({.faults = faults}) {
        ensureApplication();
        outDir = QDir(home.path()).filePath(QStringLiteral("out"));
        QDir().mkpath(outDir);
        IniSettingsStore store(QDir(home.path()).filePath(QStringLiteral("config/Tolvane")));
        auto save = [&store](const char* key, const QString& value) {
            store.save(QStringLiteral("iSeries Spoolwright"), QStringLiteral("Settings"), QString::fromLatin1(key), value);
        };
        save("URL", host.address());
        save("User", QStringLiteral("SWUSER"));
        save("Save Path", outDir);
        save("FullName", QStringLiteral("1"));
        save("Wait time", QStringLiteral("2"));
        if (savedPassword)
            save("century", Codec::toUnicode(SignOnScrambling::scrambleField(
                                HostWire::field(std::string("SWPASS"), SignOnScrambling::kPasswordLength))));
    }
    void forgetPassword() {
        IniSettingsStore(QDir(home.path()).filePath(QStringLiteral("config/Tolvane")))
            .remove(QStringLiteral("iSeries Spoolwright"), QStringLiteral("Settings"), QStringLiteral("century"));
    }
    QString settingsFile(const char* name, const QString& process, const char* queue = "QPRINT") {
        const QString p = QDir(home.path()).filePath(QString::fromLatin1(name));
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("[Properties]\r\nID=Spwrter_10.0\r\nOutq=" + QByteArray(queue) +
                 "\r\nLibrary=QGPL\r\nUser=*ALL\r\nProcess=" + process.toUtf8() + "\r\n"));
        return p;
    }
    // Runs Swdesk while this thread serves hostsim; a run that does not end is a failure.
    RunResult run(const QStringList& args, qint64 fileSizeLimit = 0) {
        QProcess swdesk;
        // A file size limit stands in for a full disk.
        if (fileSizeLimit > 0)
            swdesk.setChildProcessModifier([fileSizeLimit] {
                const rlimit l{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
                ::setrlimit(RLIMIT_FSIZE, &l);
            });
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.path() + "/config");
        env.insert("XDG_CACHE_HOME", home.path() + "/cache");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        swdesk.setProcessEnvironment(env);
        swdesk.start(QStringLiteral(SW_BINARY_DIR "/Swdesk"), args);
        EXPECT_TRUE(swdesk.waitForStarted(10000));
        QElapsedTimer limit;
        limit.start();
        while (swdesk.state() != QProcess::NotRunning && limit.elapsed() < 120000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        RunResult r;
        if (swdesk.state() != QProcess::NotRunning) {
            swdesk.kill();
            swdesk.waitForFinished(5000);
            ADD_FAILURE() << "the batch run waited for a person";
            return r;
        }
        r.exitStatus = swdesk.exitStatus();
        r.exitCode = swdesk.exitCode();
        r.out = QString::fromLocal8Bit(swdesk.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(swdesk.readAllStandardError());
        return r;
    }
    QStringList files() const { return QDir(outDir).entryList(QDir::Files, QDir::Name); }
    QByteArray file(const QString& name) const {
        QFile f(QDir(outDir).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    bool savedPassword = true;
    QTemporaryDir home;
    HostSimFixture host;
    QString outDir;
};

const QString kInvoice = QStringLiteral("INVOICE BILLING SWUSER 104211 0001 2004-03-15 14-22-07.txt");
const QString kStatement = QStringLiteral("STATEMENT STMTRUN SWUSER 104230 0002 2004-03-31 19-05-44.txt");
}  // namespace

TEST(BatchRun, WholeQueueToTextFiles) {
    BatchHost b;
    const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file")),
                         QStringLiteral("FILE:*ALL")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(b.files(), (QStringList{kInvoice, kStatement}));
    EXPECT_TRUE(b.file(kInvoice).contains("I N V O I C E"));
    EXPECT_TRUE(r.out.contains(QStringLiteral("written   ") + QDir(b.outDir).filePath(kStatement))) << r.out.toStdString();
}

TEST(BatchRun, OneReportByItsAttributes) {
    BatchHost b;
    // Shell arguments are parameters of their own; a DATE keeps its colons.
    const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file")),
                         QStringLiteral("FILE:STATEMENT"), QStringLiteral("JOB:STMTRUN"), QStringLiteral("USER:SWUSER"),
                         QStringLiteral("NBR:104230"), QStringLiteral("SEQ:2"),
                         QStringLiteral("DATE:2004/03/31 19:05:44")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(b.files(), QStringList{kStatement});
}

// Runs that end before anything reaches the host.
TEST(BatchRun, BadParametersAndSettingsEndBeforeConnecting) {
    struct Case {
        const char* name;
        QStringList args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {"a spooled-file number out of range", {"FILE:QSYSPRT", "SEQ:0"}, kExitBadParameter,
         "Batch run error: Parameter type = SEQ Parameter value = 0"},
        {"an unknown parameter", {"FILE:QSYSPRT", "COLOUR:blue"}, kExitBadParameter, "Parameter type = COLOUR"},
        {"a FILE longer than its field", {"FILE:QSYSPRTXXXXX"}, kExitBadParameter, "Parameter type = FILE"},
        {"a missing settings file", {"SETS:/no/such/file.spw", "FILE:*ALL"}, kExitSettingsFile,
         "Parameter type = SETS Parameter value = /no/such/file.spw"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BatchHost b;
        const RunResult r = b.run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message))) << r.err.toStdString();
        EXPECT_TRUE(b.host.listenerFrames().empty());
        EXPECT_TRUE(b.host.jobFrames().empty());
        EXPECT_TRUE(b.files().isEmpty());
    }
}

TEST(BatchRun, AnEmptyQueueHasNothingToDeliver) {
    BatchHost b;
    const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file"), "HOLDQ"),
                         QStringLiteral("FILE:*ALL")});
    EXPECT_EQ(r.exitCode, kExitNothingToDeliver) << r.err.toStdString();
    EXPECT_TRUE(b.files().isEmpty());
}

TEST(BatchRun, NoSavedPasswordFailsAtOnce) {
    BatchHost b;
    b.forgetPassword();
    const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file")),
                         QStringLiteral("FILE:*ALL")});
    EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();
    EXPECT_TRUE(b.files().isEmpty());
}

// The link breaks in the second report: the first stays whole, the second is
// reported, and an earlier file of the second report's name is left as it was.
TEST(BatchRun, AHostThatDropsTheLinkInAReport) {
    BatchHost whole;
    const QString sets = QStringLiteral("SETS:") + whole.settingsFile("t.spw", QStringLiteral("Text file"));
    ASSERT_EQ(whole.run({sets, QStringLiteral("FILE:*ALL")}).exitCode, 0);
    const int requests = static_cast<int>(whole.host.jobFrames().size());

    HostSimFaults f;
    f.dropAfter = requests - 3;
    BatchHost b(f);
    QFile old(QDir(b.outDir).filePath(kStatement));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an earlier statement\n");
    old.close();
    const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file")),
                         QStringLiteral("FILE:*ALL")});
    EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
    EXPECT_EQ(b.file(kInvoice), whole.file(kInvoice));
    EXPECT_EQ(b.file(kStatement), QByteArray("an earlier statement\n"));
    EXPECT_TRUE(r.out.contains(QStringLiteral("FAILED    STATEMENT"))) << r.out.toStdString();
}

// A disk that fills up in the middle of the queue: every report is reported
// and the run goes on to its end; an earlier document of the name is left as
// it was and no part file stays behind.
TEST(BatchRun, AFullDiskFailsTheReportsAndKeepsTheEarlierDocuments) {
    BatchHost b;
    const QString invoice = QStringLiteral("INVOICE BILLING SWUSER 104211 0001 2004-03-15 14-22-07.html");
    QFile old(QDir(b.outDir).filePath(invoice));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an earlier invoice\n");
    old.close();
    const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("h.spw", QStringLiteral("HTML document")),
                               QStringLiteral("FILE:*ALL")},
                              4096);
    EXPECT_EQ(r.exitStatus, QProcess::NormalExit);
    EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Disk full"))) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("FAILED    INVOICE"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("FAILED    STATEMENT"))) << r.out.toStdString();
    EXPECT_EQ(b.file(invoice), QByteArray("an earlier invoice\n"));
    EXPECT_EQ(b.files(), QStringList{invoice});
}
