// The real Swdesk in batch mode against hostsim: what it writes, what it
// says and the exit status, for each way a run can end.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "BatchHost.h"
#include "BatchRun.h"
#include "DocumentCheckers.h"
#include "SpoolExchange.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"

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
    // A nightly job's standard error (mailed to its owner) holds only what went wrong.
    EXPECT_EQ(r.err.toStdString(), "");
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

// A settings file's "Save path" is where both roads put their files: one
// report named by its attributes, and every report of the queue.
TEST(BatchRun, TheSettingsFilesSavePathTakesOneReportAndAWholeQueue) {
    BatchHost b;
    const QString other = QDir(b.home.path()).filePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().mkpath(other));
    const QString sets = QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file"), "QPRINT",
                                                                  {QStringLiteral("Save path=") + other});
    const RunResult all = b.run({sets, QStringLiteral("FILE:*ALL")});
    EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
    EXPECT_EQ(QDir(other).entryList(QDir::Files), (QStringList{kInvoice, kStatement}));
    const RunResult one = b.run({sets, QStringLiteral("FILE:STATEMENT"), QStringLiteral("JOB:STMTRUN"),
                                 QStringLiteral("USER:SWUSER"), QStringLiteral("NBR:104230"), QStringLiteral("SEQ:2"),
                                 QStringLiteral("DATE:2004/03/31 19:05:44")});
    EXPECT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_TRUE(one.out.contains(QStringLiteral("written   ") + QDir(other).filePath(QStringLiteral("STATEMENT STMTRUN"))))
        << one.out.toStdString();
    EXPECT_TRUE(b.files().isEmpty()) << "nothing in the remembered Save Path";
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
    WriteFileBytes(QDir(b.outDir).filePath(kStatement), "an earlier statement\n");
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
    WriteFileBytes(QDir(b.outDir).filePath(invoice), "an earlier invoice\n");
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

namespace {
// A document with its download time set to its golden file's: the one thing
// that differs from run to run. The stamp keeps its length, so the PDF's
// offsets still hold.
std::string AtGoldenTime(const std::string& actual, const QString& golden) {
    static const QRegularExpression stamp(
        QStringLiteral("<DateDownloaded>[^<]*</DateDownloaded>|/CreationDate \\(D:[0-9]{14}\\)"));
    const QString want = QString::fromLatin1(ReadFileBytes(QStringLiteral(SW_TEST_DATA "/golden/") + golden));
    const QRegularExpressionMatch goldenStamp = stamp.match(want);
    QString text = QString::fromLatin1(actual.data(), static_cast<qsizetype>(actual.size()));
    if (goldenStamp.hasMatch()) text.replace(stamp, goldenStamp.captured());
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// A queue of reports of every width, with characters that must be escaped,
// and the sales report whose text file is known: each spooled file's
// attribute name and the golden files it must give.
struct QueuedReport {
    const char* name;
    std::string splf;
    const char* documents;  // documents/<name>.pdf, .html, .xml; null: none
    const char* text;       // the text file's golden file; null: none
};
std::vector<QueuedReport> DocumentQueue() {
    auto sample = [](const char* path) { return ReadFileBytes(HostSimFixture::samples() + "/" + path); };
    return {{"INVOICE", sample("QGPL/QPRINT/01-invoice.splf"), "invoice_80", nullptr},
            {"PAYREG", sample("PAYLIB/PAYROLL/01-register.splf"), "payroll_132", nullptr},
            {"SALESAN", sample("SALESLIB/SALESQ/01-analysis.splf"), "sales_198", nullptr},
            {"SPECIALS", ReadFileBytes(QStringLiteral(SW_TEST_DATA "/reports/specials.splf")), "specials_80", nullptr},
            {"QSYSPRT", SampleSplf(SalesReport(), 80), nullptr, "transfer/text_66.txt"}};
}
}  // namespace

// "*ALL" of one queue to each of the four formats, a batch run each: every
// file as its golden file, every PDF sound to qpdf, every XML and HTML to xmllint.
TEST(BatchRun, WholeQueueToEveryFormat) {
    QTemporaryDir spool;
    const std::vector<QueuedReport> queue = DocumentQueue();
    for (size_t i = 0; i < queue.size(); ++i)
        HostSimFixture::writeSpooledFile(spool.path(), QStringLiteral("QGPL"), QStringLiteral("DOCS"),
                                         QStringLiteral("%1.splf").arg(i + 1), queue[i].splf);
    // The options the golden files were made with: every record as the host holds it.
    const QStringList options = {"Overprinting=0",       "Convert minus=0",   "Remove blanks=0",
                                 "PDF paper size=Best fit", "PDF font size=10", "PDF vert size=Auto",
                                 "PDF page orientation=True", "Add replace=True"};
    const struct {
        const char* process;
        const char* extension;
    } formats[] = {{"Text file", "txt"}, {"HTML document", "html"}, {"XML document", "xml"}, {"PDF document", "pdf"}};
    for (const auto& format : formats) {
        SCOPED_TRACE(format.process);
        BatchHost b({}, spool.path());
        b.remember("Html font", QStringLiteral("10"));
        const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("docs.spw", QString::fromLatin1(format.process),
                                                                          "DOCS", options),
                                   QStringLiteral("FILE:*ALL")});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QStringList files = b.files();
        ASSERT_EQ(files.size(), static_cast<qsizetype>(queue.size())) << files.join(u'\n').toStdString();
        const QString extension = QString::fromLatin1(format.extension);
        for (const QueuedReport& report : queue) {
            SCOPED_TRACE(report.name);
            const QStringList named = files.filter(QRegularExpression(
                QStringLiteral("^%1 .*\\.%2$").arg(QString::fromLatin1(report.name), extension)));
            ASSERT_EQ(named.size(), 1) << files.join(u'\n').toStdString();
            const QString path = QDir(b.outDir).filePath(named[0]);
            EXPECT_TRUE(r.out.contains(QStringLiteral("written   ") + path)) << r.out.toStdString();
            if (extension == u"pdf") CheckPdf(path, {.checkLines = false});
            if (extension == u"xml") CheckXml(path);
            if (extension == u"html") CheckHtml(path);
            const char* golden = extension == u"txt" ? report.text : nullptr;
            QString goldenName = golden ? QString::fromLatin1(golden) : QString();
            if (extension != u"txt" && report.documents)
                goldenName = QStringLiteral("documents/%1.%2").arg(QString::fromLatin1(report.documents), extension);
            if (!goldenName.isEmpty()) ExpectGolden(AtGoldenTime(ReadFileBytes(path), goldenName), goldenName);
        }
    }
}

// A single report named on the command line has no page count: a host that
// goes on saying "(MORE)" after its last line is stopped within seconds, the
// report fails with the message and the earlier file stays.
TEST(BatchRun, AnEndlessSingleReportEndsSoonAfterItsLastLine) {
    HostSimFaults f;
    f.endlessMore = true;
    BatchHost b(f);
    WriteFileBytes(QDir(b.outDir).filePath(kStatement), "an earlier statement\n");
    QElapsedTimer timer;
    timer.start();
    const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file")),
                               QStringLiteral("FILE:STATEMENT"), QStringLiteral("JOB:STMTRUN"), QStringLiteral("USER:SWUSER"),
                               QStringLiteral("NBR:104230"), QStringLiteral("SEQ:2"),
                               QStringLiteral("DATE:2004/03/31 19:05:44")});
    // Five times the quiet time that ends it, start-up and all: a run that ends by another rule, or never, fails.
    EXPECT_LT(timer.elapsed(), 5 * kQuietMs);
    EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("The host keeps saying that more of the report follows, but sends nothing more.")))
        << r.err.toStdString();
    EXPECT_EQ(b.file(kStatement), QByteArray("an earlier statement\n"));
}

// Without long names every destination names its files as a PDF does when
// no name is remembered: "Spwrt", a counter, the extension.
TEST(BatchRun, ShortNamesNumberEachReportOfTheQueue) {
    const struct {
        const char* process;
        const char* extension;
        const char* invoiceHolds;  // what the first report's file shows of it
    } cases[] = {
        {"Text file", "txt", "I N V O I C E"},
        {"HTML document", "html", "I N V O I C E"},
        {"XML document", "xml", "<SpoolFile>INVOICE</SpoolFile>"},
        {"PDF document", "pdf", "%PDF-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.process);
        BatchHost b;
        b.remember("FullName", QStringLiteral("0"));
        const QString sets = QStringLiteral("SETS:") + b.settingsFile("t.spw", QString::fromLatin1(c.process));
        const RunResult r = b.run({sets, QStringLiteral("FILE:*ALL")});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QString first = QStringLiteral("Spwrt.") + QLatin1String(c.extension);
        const QString second = QStringLiteral("Spwrt001.") + QLatin1String(c.extension);
        ASSERT_EQ(b.files(), (QStringList{first, second})) << r.out.toStdString() << r.err.toStdString();
        EXPECT_TRUE(b.file(first).contains(c.invoiceHolds));
        for (const QString& f : {first, second})
            EXPECT_TRUE(r.out.contains(QStringLiteral("written   ") + QDir(b.outDir).filePath(f))) << r.out.toStdString();
        // A host that drops the link: the files of the earlier run stay as they were.
        const QByteArray kept = b.file(first);
        b.host.faults().dropAfter = 0;
        const RunResult dropped = b.run({sets, QStringLiteral("FILE:*ALL")});
        EXPECT_NE(dropped.exitCode, 0);
        EXPECT_EQ(b.files(), (QStringList{first, second}));
        EXPECT_EQ(b.file(first), kept);
    }
}

// A PDF set in a smaller font so that its width fits says so in its line.
TEST(BatchRun, APdfInASmallerFontSaysSoInItsLine) {
    BatchHost b;
    const QString sets = QStringLiteral("SETS:") +
                         b.settingsFile("p.spw", QStringLiteral("PDF document"), "QPRINT",
                                        {QStringLiteral("PDF paper size=Narrow A5"), QStringLiteral("PDF font size=12"),
                                         QStringLiteral("PDF vert size=Auto"), QStringLiteral("PDF page orientation=True")});
    const RunResult r = b.run({sets, QStringLiteral("FILE:INVOICE"), QStringLiteral("JOB:BILLING"), QStringLiteral("USER:SWUSER"),
                               QStringLiteral("NBR:104211"), QStringLiteral("SEQ:1"), QStringLiteral("DATE:2004/03/15 14:22:07")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString pdf = QDir(b.outDir).filePath(QStringLiteral("INVOICE BILLING SWUSER 104211 0001 2004-03-15 14-22-07.pdf"));
    static const QRegularExpression line(
        QStringLiteral("^written   (.*\\.pdf): The text is set in ([\\d.]+) points instead of 12, so that all 80 columns fit "
                       "across the paper\\.$"));
    const QRegularExpressionMatch m = line.match(r.out.trimmed());
    ASSERT_TRUE(m.hasMatch()) << r.out.toStdString();
    EXPECT_EQ(m.captured(1), pdf);
    EXPECT_LT(m.captured(2).toDouble(), 12.0);
    // What a reader shows: every column of the widest line on the page.
    const ToolRun text = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_NE(text.out.find("I N V O I C E"), std::string::npos) << text.err;
}

// A report of which nothing arrived leaves no document behind, and its line says so.
TEST(BatchRun, AReportOfWhichNothingArrivedLeavesNoFile) {
    QTemporaryDir spool;
    HostSimFixture::writeSpooledFile(spool.path(), QStringLiteral("QGPL"), QStringLiteral("QPRINT"),
                                     QStringLiteral("EMPTY.splf"), SampleSplf({}, 80));
    HostSimFaults f;
    f.endlessMore = true;
    for (const char* process : {"Text file", "PDF document", "HTML document", "XML document"}) {
        SCOPED_TRACE(process);
        BatchHost b(f, spool.path());
        const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("t.spw", QString::fromLatin1(process)),
                                   QStringLiteral("FILE:QSYSPRT"), QStringLiteral("JOB:QPADEV0001"), QStringLiteral("USER:JSMITH"),
                                   QStringLiteral("NBR:004711"), QStringLiteral("SEQ:3"),
                                   QStringLiteral("DATE:2024/01/31 14:05:09")});
        EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("FAILED")) &&
                    r.out.contains(QStringLiteral("Nothing of the report arrived, so no file was written.")) &&
                    !r.out.contains(QStringLiteral("is kept")))
            << r.out.toStdString();
        EXPECT_TRUE(b.files().isEmpty()) << b.files().join(QLatin1Char(',')).toStdString();
    }
}
