// Batch runs to the office programs: the settings file names the document,
// the programs save it there with its pages, and nothing is opened on the
// desktop of a run that no one watches.
#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <csignal>

#include "BatchHost.h"
#include "BatchRun.h"
#include "TransferTestSupport.h"
#include "OfficeFiles.h"

namespace {
const QStringList kInvoiceReport = {QStringLiteral("FILE:INVOICE"), QStringLiteral("JOB:BILLING"),
                                    QStringLiteral("USER:SWUSER"), QStringLiteral("NBR:104211"), QStringLiteral("SEQ:1")};

struct OfficeCase {
    const char* process;
    const char* key;      // of the settings file
    const char* asked;    // the name it gives
    const char* written;  // the file the program writes
    const char* breaksField;
    QJsonObject (*facts)(const QString&);
};
const OfficeCase kCases[] = {
    {"Microsoft Excel", "Excel file", "march.xlsx", "march.xlsx", "rowBreaks", XlsxFacts},
    {"Microsoft Word", "Word file", "march.doc", "march.odt", "pageBreaks", OdtFacts},
};
// Ends, when it goes, every program that runs with this home (what a run
// started and left serving).
struct EndsProgramsOfHome {
    QString home;
    ~EndsProgramsOfHome() {
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile env(QStringLiteral("/proc/%1/environ").arg(pid));
            if (pid.toInt() > 0 && env.open(QIODevice::ReadOnly) &&
                env.readAll().split('\0').contains("HOME=" + QFile::encodeName(home)))
                ::kill(pid.toInt(), SIGTERM);
        }
    }
};
}  // namespace

TEST(BatchOffice, TheDocumentGoesUnderTheSettingsFilesNameWithItsPagesAndNothingIsOpened) {
    for (const OfficeCase& c : kCases) {
        SCOPED_TRACE(c.process);
        BatchHost b;
        RecordingOpener desktop;
        b.pathFirst = desktop.dir.path();
        const QString asked = QDir(b.outDir).filePath(QString::fromLatin1(c.asked));
        const QString sets = b.settingsFile("office.spw", QString::fromLatin1(c.process), "QPRINT",
                                            {QString::fromLatin1(c.key) + QLatin1Char('=') + asked});
        const RunResult r = b.run(QStringList{QStringLiteral("SETS:") + sets} + kInvoiceReport);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(b.files(), QStringList{QString::fromLatin1(c.written)});
        EXPECT_TRUE(r.out.contains(QStringLiteral("written   ") + QDir(b.outDir).filePath(QString::fromLatin1(c.written))))
            << r.out.toStdString();
        // Four host pages: three breaks.
        const QJsonObject facts = c.facts(QDir(b.outDir).filePath(QString::fromLatin1(c.written)));
        EXPECT_EQ(facts.value(QString::fromLatin1(c.breaksField)).toArray().size(), 3);
        EXPECT_TRUE(desktop.shown().isEmpty()) << desktop.shown().join(QLatin1Char(' ')).toStdString();
    }
}

TEST(BatchOffice, AHostThatDropsTheLinkLeavesTheEarlierDocumentAndOpensNothing) {
    for (const OfficeCase& c : kCases) {
        SCOPED_TRACE(c.process);
        HostSimFaults f;
        f.dropAfter = 2;
        BatchHost b(f);
        RecordingOpener desktop;
        b.pathFirst = desktop.dir.path();
        const QString earlier = QDir(b.outDir).filePath(QString::fromLatin1(c.written));
        WriteFileBytes(earlier, "the earlier document");
        const QString sets = b.settingsFile("office.spw", QString::fromLatin1(c.process), "QPRINT",
                                            {QString::fromLatin1(c.key) + QLatin1Char('=') +
                                             QDir(b.outDir).filePath(QString::fromLatin1(c.asked))});
        const RunResult r = b.run(QStringList{QStringLiteral("SETS:") + sets} + kInvoiceReport);
        EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
        EXPECT_EQ(b.file(QString::fromLatin1(c.written)), QByteArray("the earlier document"));
        EXPECT_TRUE(desktop.shown().isEmpty());
    }
}

// Without a name from the settings file the workbook is saved under the
// save folder; nobody watches the run, so nothing is opened on the desktop.
TEST(BatchOffice, WithoutANameTheWorkbookIsSavedAndNothingIsOpened) {
    BatchHost b;
    RecordingOpener desktop;
    b.pathFirst = desktop.dir.path();
    const RunResult r =
        b.run(QStringList{QStringLiteral("SETS:") + b.settingsFile("office.spw", QStringLiteral("Microsoft Excel"))} +
              kInvoiceReport);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_EQ(b.files().size(), 1);
    EXPECT_TRUE(b.files().first().endsWith(u".xlsx"));
    EXPECT_TRUE(XlsxFacts(QDir(b.outDir).filePath(b.files().first())).value(QStringLiteral("rows")).toArray().size() > 0);
    EXPECT_TRUE(desktop.shown(2000).isEmpty()) << desktop.shown().join(QLatin1Char(' ')).toStdString();
}

// A document name that leads to a pipe is refused before the host is asked
// for the report; the pipe stays a pipe and nothing blocks.
TEST(BatchOffice, ADocumentNameThatIsAPipeIsRefusedBeforeTheHostIsAsked) {
    for (const OfficeCase& c : kCases) {
        SCOPED_TRACE(c.process);
        BatchHost b;
        const QString pipe = QDir(b.outDir).filePath(QString::fromLatin1(c.written));
        ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const QString sets = b.settingsFile("office.spw", QString::fromLatin1(c.process), "QPRINT",
                                            {QString::fromLatin1(c.key) + QLatin1Char('=') +
                                             QDir(b.outDir).filePath(QString::fromLatin1(c.asked))});
        const RunResult r = b.run(QStringList{QStringLiteral("SETS:") + sets} + kInvoiceReport);
        EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(pipe + QStringLiteral(" is a pipe (FIFO), not a plain file"))) << r.err.toStdString();
        for (const std::string& frame : b.host.jobFrames())
            EXPECT_FALSE(frame.size() > 10 && frame[10] == 'W') << "a download was asked for";
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(pipe).constData(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode));
    }
}

// A nightly job that reads Swdesk's output through a pipe: whatever program a
// delivery starts (the word processor serves for half an hour) holds none of
// Swdesk's standard streams, so the pipe ends with Swdesk.
TEST(BatchOffice, APipeFromTheRunEndsWithSwdeskForEveryOfficeProgram) {
    for (const char* process : {"Microsoft Excel", "Microsoft Word", "Lotus 123", "Microsoft Word 6/95", "Lotus WordPro"}) {
        SCOPED_TRACE(process);
        BatchHost b;
        // The word processor this run started (its home is this run's) serves
        // for half an hour: it goes with the case, whatever the case found.
        const EndsProgramsOfHome ending{b.home.path()};
        b.limitMs = 60000;
        RecordingOpener desktop;
        b.pathFirst = desktop.dir.path();
        const QString sets = b.settingsFile("office.spw", QString::fromLatin1(process));
        const QString ends = QDir(b.home.path()).filePath(QStringLiteral("ends"));
        // The times at which Swdesk and the reader of its pipe ended.
        const QString script = QStringLiteral(
            "{ \"$0\" \"$@\"; echo $? > '%1.rc'; date +%s%N > '%1.swdesk'; } | cat > /dev/null; date +%s%N > '%1.pipe'")
                                   .arg(ends);
        QProcess piped;
        piped.setProcessEnvironment(b.environment());
        piped.setProgram(QStringLiteral("/bin/sh"));
        piped.setArguments(QStringList{QStringLiteral("-c"), script, QStringLiteral(SW_BINARY_DIR "/Swdesk"),
                                       QStringLiteral("SETS:") + sets} +
                           kInvoiceReport);
        piped.start();
        ASSERT_TRUE(piped.waitForStarted(10000));
        const RunResult r = b.finish(piped);
        ASSERT_EQ(r.exitCode, 0);
        const auto read = [&](const char* what) {
            QFile f(ends + QLatin1Char('.') + QLatin1String(what));
            return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray();
        };
        EXPECT_EQ(read("rc"), QByteArray("0"));
        const qint64 swdeskEnd = read("swdesk").toLongLong(), pipeEnd = read("pipe").toLongLong();
        ASSERT_GT(swdeskEnd, 0);
        EXPECT_LT((pipeEnd - swdeskEnd) / 1000000, 3000) << "the pipe stayed open after Swdesk ended";
    }
}

// A worksheet holds 1,023 page breaks: a longer report is written whole, and
// the batch line says how many of its page ends got no break.
TEST(BatchOffice, PageBreaksAWorksheetCannotHoldAreCountedInTheBatchLine) {
    QTemporaryDir spool;
    std::string report = "name=LONG\njob=BILLING\nuser=SWUSER\njobnumber=104212\nnumber=1\nwidth=80\npages=1030\nformtype=*STD\n"
                         "date=2024-06-30\ntime=23:59:01\nuserdata=JUNE\n[records]\n";
    for (int page = 1; page <= 1030; ++page) report += "001 PAGE " + std::to_string(page) + "\n";
    HostSimFixture::writeSpooledFile(spool.path(), QStringLiteral("QGPL"), QStringLiteral("QPRINT"), QStringLiteral("LONG.splf"),
                                     report);
    BatchHost b({}, spool.path());
    const QString book = QDir(b.outDir).filePath(QStringLiteral("long.xlsx"));
    const QString sets =
        b.settingsFile("office.spw", QStringLiteral("Microsoft Excel"), "QPRINT", {QStringLiteral("Excel file=") + book});
    const RunResult r = b.run({QStringLiteral("SETS:") + sets, QStringLiteral("FILE:*ALL")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("written   ") + book +
                               QStringLiteral(": 6 page breaks were not placed: the worksheet holds no more than 1023.")))
        << r.out.toStdString();
    const QJsonObject facts = XlsxFacts(book);
    EXPECT_EQ(facts.value(QStringLiteral("rowBreaks")).toArray().size(), 1023);
    EXPECT_EQ(facts.value(QStringLiteral("rows")).toArray().size(), 1030);
}

// A batch run that runs a macro leaves the document unsaved for the macro:
// nobody watches, so no copy of it is put before anyone.
TEST(BatchOffice, ARunWithAMacroShowsNothing) {
    for (const char* process : {"Microsoft Word", "Lotus 123", "Lotus WordPro"}) {
        SCOPED_TRACE(process);
        BatchHost b;
        RecordingOpener desktop;
        b.pathFirst = desktop.dir.path();
        const QString sets = b.settingsFile("office.spw", QString::fromLatin1(process), "QPRINT",
                                            {QStringLiteral("Run macro=1"), QStringLiteral("Word macro name=Tidy")});
        const RunResult r = b.run(QStringList{QStringLiteral("SETS:") + sets} + kInvoiceReport);
        EXPECT_TRUE(r.out.contains(QStringLiteral("INVOICE"))) << r.out.toStdString();
        EXPECT_TRUE(desktop.shown(2000).isEmpty()) << desktop.shown().join(QLatin1Char(' ')).toStdString();
    }
}

// 1-2-3 and WordPro are left holding the report, which no one saves: a run
// that no one watches opens nothing, keeps the document where it would have
// been shown, and its line says where, so that the report is not lost.
TEST(BatchOffice, ADocumentNoOneSavesIsKeptAndItsPlaceIsInTheBatchLine) {
    struct Case {
        const char* process;
        const char* breaksField;
        QJsonObject (*facts)(const QString&);
    };
    for (const Case& c : {Case{"Lotus 123", "rows", XlsxFacts}, Case{"Lotus WordPro", "pageBreaks", OdtFacts},
                          Case{"Microsoft Word 6/95", "pageBreaks", OdtFacts}}) {
        SCOPED_TRACE(c.process);
        BatchHost b;
        // The word processor a Word 6/95 run starts serves on: it goes with the case.
        const EndsProgramsOfHome ending{b.home.path()};
        RecordingOpener desktop;
        b.pathFirst = desktop.dir.path();
        const RunResult r =
            b.run(QStringList{QStringLiteral("SETS:") + b.settingsFile("office.spw", QString::fromLatin1(c.process))} +
                  kInvoiceReport);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QString said = QStringLiteral("The document is kept in ");
        const qsizetype at = r.out.indexOf(said);
        ASSERT_GE(at, 0) << r.out.toStdString();
        const QString kept = r.out.mid(at + said.size(), r.out.indexOf(u'\n', at) - at - said.size()).chopped(1);
        EXPECT_TRUE(kept.startsWith(b.home.path())) << kept.toStdString();
        EXPECT_TRUE(QFileInfo(kept).fileName().startsWith(u"INVOICE BILLING SWUSER 104211")) << kept.toStdString();
        // The report's four pages, as the program held them.
        const QJsonArray held = c.facts(kept).value(QString::fromLatin1(c.breaksField)).toArray();
        EXPECT_GE(held.size(), 3) << kept.toStdString();
        EXPECT_TRUE(desktop.shown(2000).isEmpty()) << desktop.shown().join(QLatin1Char(' ')).toStdString();
    }
}
