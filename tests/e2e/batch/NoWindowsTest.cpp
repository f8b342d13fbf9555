// The real Swdesk in batch mode on a machine with no display: the run makes
// no window at all (no widget application), and still writes what it is
// asked to, and keeps what was there when the host lets it down.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "BatchHost.h"
#include "BatchRun.h"
#include "TransferTestSupport.h"
#include "DocumentCheckers.h"

namespace {
const QString kInvoice = QStringLiteral("INVOICE BILLING SWUSER 104211 0001 2004-03-15 14-22-07");
const QString kStatement = QStringLiteral("STATEMENT STMTRUN SWUSER 104230 0002 2004-03-31 19-05-44");
const QStringList kStatementArgs = {QStringLiteral("FILE:STATEMENT"), QStringLiteral("JOB:STMTRUN"),
                                    QStringLiteral("USER:SWUSER"),    QStringLiteral("NBR:104230"),
                                    QStringLiteral("SEQ:2"),          QStringLiteral("DATE:2004/03/31 19:05:44")};

// A widget application reads this at its start and complains of a style it
// cannot find; an application without widgets never looks at it.
void watchForWidgets(BatchHost& b) { b.moreEnvironment.push_back({QStringLiteral("QT_STYLE_OVERRIDE"), QStringLiteral("no-such-style")}); }
bool madeWidgets(const RunResult& r) { return r.err.contains(QStringLiteral("QApplication")); }
}  // namespace

TEST(NoWindows, TextPdfAndAWholeQueueAreWrittenWithNoWindow) {
    struct Case {
        const char* name;
        const char* process;
        bool wholeQueue;
        QStringList files;
        const char* holds;  // what the first file must hold
    };
    const Case cases[] = {
        {"one report to a text file", "Text file", false, {kStatement + ".txt"}, "STATEMENT OF ACCOUNT"},
        {"one report to a PDF", "PDF document", false, {kStatement + ".pdf"}, "%PDF-"},
        {"a whole queue to text files", "Text file", true, {kInvoice + ".txt", kStatement + ".txt"}, "I N V O I C E"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BatchHost b;
        watchForWidgets(b);
        QStringList args{QStringLiteral("SETS:") + b.settingsFile("t.spw", QString::fromLatin1(c.process))};
        args += c.wholeQueue ? QStringList{QStringLiteral("FILE:*ALL")} : kStatementArgs;
        const RunResult r = b.run(args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_FALSE(madeWidgets(r)) << r.err.toStdString();
        EXPECT_EQ(r.err.toStdString(), "");
        ASSERT_EQ(b.files(), c.files);
        EXPECT_TRUE(b.file(c.files.first()).contains(c.holds));
        for (const QString& f : c.files)
            EXPECT_TRUE(r.out.contains(QStringLiteral("written   ") + QDir(b.outDir).filePath(f))) << r.out.toStdString();
        if (QString::fromLatin1(c.process).startsWith(u"PDF"))
            CheckPdf(QDir(b.outDir).filePath(c.files.first()), PdfExpectation{.pages = 6, .checkLines = false});
    }
}

// The host closes the link in the queue's second report: the first is
// whole, the second is reported, and yesterday's file of its name survives.
TEST(NoWindows, AHostThatStopsAnsweringKeepsTheEarlierFile) {
    BatchHost whole;
    const QString sets = QStringLiteral("SETS:") + whole.settingsFile("t.spw", QStringLiteral("Text file"));
    ASSERT_EQ(whole.run({sets, QStringLiteral("FILE:*ALL")}).exitCode, 0);
    const int requests = static_cast<int>(whole.host.jobFrames().size());
    BatchHost one;
    ASSERT_EQ(one.run(QStringList{QStringLiteral("SETS:") + one.settingsFile("t.spw", QStringLiteral("Text file"))} +
                      kStatementArgs)
                  .exitCode,
              0);
    const int oneRequests = static_cast<int>(one.host.jobFrames().size());

    for (const bool single : {false, true}) {
        SCOPED_TRACE(single ? "one report" : "a whole queue");
        HostSimFaults f;
        // In the last report's last blocks.
        f.dropAfter = (single ? oneRequests : requests) - 3;
        BatchHost b(f);
        watchForWidgets(b);
        const QString statement = kStatement + ".txt";
        WriteFileBytes(QDir(b.outDir).filePath(statement), "yesterday's statement\n");
        QStringList args{QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file"))};
        args += single ? kStatementArgs : QStringList{QStringLiteral("FILE:*ALL")};
        const RunResult r = b.run(args);
        EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
        EXPECT_FALSE(madeWidgets(r)) << r.err.toStdString();
        EXPECT_EQ(b.file(statement), QByteArray("yesterday's statement\n"));
        EXPECT_TRUE(r.out.contains(QStringLiteral("FAILED    STATEMENT"))) << r.out.toStdString();
        if (!single) {
            EXPECT_EQ(b.file(kInvoice + ".txt"), whole.file(kInvoice + ".txt"));
        }
        // The work folder goes with the run.
        EXPECT_FALSE(QFileInfo::exists(QDir(b.outDir).filePath(QStringLiteral("SWUSER"))));
    }
}

// The office and mail programs are delivered with no window as well: a
// workbook under the settings file's name, a mailed report kept as a draft;
// a host that stops answering leaves the workbook of that name as it was.
TEST(NoWindows, AnOfficeDocumentAndAMailedReportNeedNoWindow) {
    for (const bool dropped : {false, true}) {
        for (const char* process : {"Microsoft Excel", "Outlook e-mail"}) {
            SCOPED_TRACE(std::string(process) + (dropped ? ", the host stops answering" : ""));
            HostSimFaults f;
            if (dropped) f.dropAfter = 2;
            BatchHost b(f);
            watchForWidgets(b);
            const QString drafts = QDir(b.outDir).filePath(QStringLiteral("drafts"));
            b.remember("Drafts folder", drafts);
            const bool excel = QString::fromLatin1(process).contains(u"Excel");
            const QString book = QDir(b.outDir).filePath(QStringLiteral("march.xlsx"));
            WriteFileBytes(book, "last month's workbook");
            const QString sets = b.settingsFile("t.spw", QString::fromLatin1(process), "QPRINT",
                                                {excel ? QStringLiteral("Excel file=") + book : QStringLiteral("Email=False")});
            const RunResult r = b.run(QStringList{QStringLiteral("SETS:") + sets} + kStatementArgs);
            EXPECT_FALSE(madeWidgets(r)) << r.err.toStdString();
            const QStringList kept = QDir(drafts).entryList({QStringLiteral("*.eml")}, QDir::Files);
            if (dropped) {
                EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
                EXPECT_EQ(b.file(QStringLiteral("march.xlsx")), QByteArray("last month's workbook"));
                EXPECT_TRUE(kept.isEmpty()) << kept.join(u' ').toStdString();
            } else if (excel) {
                EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
                EXPECT_TRUE(b.file(QStringLiteral("march.xlsx")).startsWith("PK"));
                EXPECT_TRUE(r.out.contains(QStringLiteral("written   ") + book)) << r.out.toStdString();
            } else {
                EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
                ASSERT_EQ(kept.size(), 1);
                EXPECT_TRUE(r.out.contains(QStringLiteral("Draft written to ") + QDir(drafts).filePath(kept.front())))
                    << r.out.toStdString();
            }
        }
    }
}
