// The real Swdesk in batch mode against hostsim: what it writes, what it
// says and the exit status, for each way a run can end.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "BatchHost.h"
#include "BatchRun.h"
#include "TestSupport.h"

namespace {
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
