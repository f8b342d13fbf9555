// Two real Swdesk batch runs at once against one hostsim, writing into one
// folder; a run killed in the middle of a report; targets that are no plain
// files. Whatever happens, every report ends whole in a file of its own (or
// added to the one file), or is refused with its message, and an earlier
// file that a failed report would have written is byte for byte as it was.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "BatchHost.h"
#include "BatchRun.h"
#include "TransferTestSupport.h"

namespace {
const QString kInvoice = QStringLiteral("INVOICE BILLING SWUSER 104211 0001 2004-03-15 14-22-07");
const QByteArray kEarlier = "AN EARLIER REPORT\r\n";

QStringList invoiceOnly(const QString& sets) {
    return {QStringLiteral("SETS:") + sets,         QStringLiteral("FILE:INVOICE"), QStringLiteral("JOB:BILLING"),
            QStringLiteral("USER:SWUSER"),          QStringLiteral("NBR:104211"),   QStringLiteral("SEQ:1"),
            QStringLiteral("DATE:2004/03/15 14:22:07")};
}

// Serves hostsim until cond() holds; false after the limit.
bool serveUntil(const std::function<bool()>& cond, int limitMs = 30000) {
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// A run holds the lock of some file in the folder.
bool aFileIsBeingWritten(const QString& dir) {
    return !QDir(dir).entryList({QStringLiteral(".swlk-*")}, QDir::Files | QDir::Hidden).isEmpty();
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeEarlier(const QString& path) { WriteFileBytes(path, kEarlier.toStdString()); }

// Two runs, each against a host of its own, writing into one folder: the
// first on a slow host (so that it is still writing when the second comes),
// the second on a quick one. `extra`: lines of both settings files.
struct TwoRuns {
    // `firstSpool`: the first run's host serves this folder (empty: the samples).
    explicit TwoRuns(int firstReplyDelayMs, const QString& firstSpool = {})
        : first(slow(firstReplyDelayMs), firstSpool) {
        second.remember("Save Path", first.outDir);
    }
    static HostSimFaults slow(int ms) {
        HostSimFaults f;
        f.replyDelayMs = ms;
        return f;
    }
    QString in(const QString& name) const { return QDir(first.outDir).filePath(name); }
    QStringList args(BatchHost& b, const QStringList& extra) {
        return invoiceOnly(b.settingsFile("t.spw", QStringLiteral("Text file"), "QPRINT", extra));
    }
    // Starts the first, then the second once the first is writing its file.
    std::pair<RunResult, RunResult> run(const QStringList& extra) {
        QProcess a, b;
        first.start(a, args(first, extra));
        EXPECT_TRUE(serveUntil([&] { return aFileIsBeingWritten(first.outDir); })) << "the first run never wrote";
        second.start(b, args(second, extra));
        RunResult rb = second.finish(b);
        RunResult ra = first.finish(a);
        return {ra, rb};
    }
    BatchHost first;
    BatchHost second;
};

// The invoice as one undisturbed run writes it.
QByteArray wholeInvoice() {
    static const QByteArray whole = [] {
        BatchHost b;
        const RunResult r = b.run(invoiceOnly(b.settingsFile("t.spw", QStringLiteral("Text file"))));
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return b.file(kInvoice + QStringLiteral(".txt"));
    }();
    return whole;
}
}  // namespace

// "Add to file" from two runs into one file: the second waits for the first
// and adds after it, or, when the first is still writing after its wait, is
// refused; lines are never mixed and the file never cut.
TEST(OverlappingRuns, TwoRunsAddingToOneFile) {
    ASSERT_FALSE(wholeInvoice().isEmpty());
    const struct {
        const char* what;
        int firstReplyDelayMs;
        bool secondRefused;
    } cases[] = {
        // About a second of the host's pauses against the second's wait of ten.
        {"the first ends within the wait", 100, false},
        // A dozen replies of 2.5 s each: a slower machine only makes it longer.
        {"the first writes for longer", 2500, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TwoRuns runs(c.firstReplyDelayMs);
        const QString daily = runs.in(QStringLiteral("daily.txt"));
        writeEarlier(daily);
        for (BatchHost* b : {&runs.first, &runs.second}) b->remember("Add replace", QStringLiteral("False"));
        const auto [a, b] = runs.run({QStringLiteral("Text file=") + daily});
        EXPECT_EQ(a.exitCode, 0) << a.err.toStdString();
        EXPECT_EQ(b.exitCode, c.secondRefused ? kExitNotDelivered : 0) << b.err.toStdString();
        if (c.secondRefused) {
            EXPECT_TRUE(b.err.contains(daily + QStringLiteral(" is being written by another program")))
                << b.err.toStdString();
            EXPECT_TRUE(b.out.contains(QStringLiteral("FAILED    INVOICE"))) << b.out.toStdString();
            EXPECT_EQ(readAll(daily), kEarlier + wholeInvoice());
        } else {
            EXPECT_EQ(readAll(daily), kEarlier + wholeInvoice() + wholeInvoice());
        }
        EXPECT_EQ(runs.first.files(), QStringList{QStringLiteral("daily.txt")});
    }
}

// "Replace file" from two runs into one name that the first is still
// writing: the second is refused, and the file holds the first run's report
// whole (the earlier file until then).
TEST(OverlappingRuns, TwoRunsReplacingOneFile) {
    TwoRuns runs(2500);
    const QString daily = runs.in(QStringLiteral("daily.txt"));
    writeEarlier(daily);
    for (BatchHost* b : {&runs.first, &runs.second}) b->remember("Add replace", QStringLiteral("True"));
    const auto [a, b] = runs.run({QStringLiteral("Text file=") + daily});
    EXPECT_EQ(a.exitCode, 0) << a.err.toStdString();
    EXPECT_EQ(b.exitCode, kExitNotDelivered) << b.err.toStdString();
    EXPECT_TRUE(b.err.contains(QStringLiteral(" is being written by another program"))) << b.err.toStdString();
    EXPECT_EQ(readAll(daily), wholeInvoice());
    EXPECT_EQ(runs.first.files(), QStringList{QStringLiteral("daily.txt")});
}

// Both runs name the report from its attributes and find the same name free
// (the first name is an earlier file's): each report goes whole into a file of
// its own, the run's line names it, and the earlier file stays.
TEST(OverlappingRuns, TwoRunsChoosingTheSameFreeName) {
    TwoRuns runs(200);
    writeEarlier(runs.in(kInvoice + QStringLiteral(".txt")));
    const auto [a, b] = runs.run({});
    EXPECT_EQ(a.exitCode, 0) << a.err.toStdString();
    EXPECT_EQ(b.exitCode, 0) << b.err.toStdString();
    // Beside the earlier file, one numbered name of the report each (the
    // second takes the next free one when it finds the first's taken).
    QStringList names = runs.first.files();
    ASSERT_TRUE(names.removeOne(kInvoice + QStringLiteral(".txt")));
    ASSERT_EQ(names.size(), 2) << names.join(QLatin1Char('|')).toStdString();
    for (const QString& name : names)
        EXPECT_TRUE(name.startsWith(kInvoice + QStringLiteral(" 00")) && name.endsWith(QStringLiteral(".txt")))
            << name.toStdString();
    EXPECT_EQ(runs.first.file(kInvoice + QStringLiteral(".txt")), kEarlier);
    for (const QString& name : names) EXPECT_EQ(runs.first.file(name), wholeInvoice()) << name.toStdString();
    // Each run says which of the two it wrote.
    EXPECT_NE(a.out, b.out);
    for (const RunResult* r : {&a, &b}) {
        const bool one = r->out.contains(QStringLiteral("written   ") + runs.in(names[0]));
        const bool two = r->out.contains(QStringLiteral("written   ") + runs.in(names[1]));
        EXPECT_NE(one, two) << r->out.toStdString();
    }
}

namespace {
// The invoice ten times over (40 pages), in a spool folder of its own: more
// than a run hands to the disk at a time, so that a run killed half-way has
// left part of it there.
std::string longInvoice() {
    QFile sample(HostSimFixture::samples() + QStringLiteral("/QGPL/QPRINT/01-invoice.splf"));
    EXPECT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray text = sample.readAll();
    const qsizetype records = text.indexOf("[records]\n") + 10;
    QByteArray head = text.left(records);
    head.replace("pages=4\n", "pages=40\n");
    std::string out = head.toStdString();
    for (int i = 0; i < 10; ++i) out += text.mid(records).toStdString();
    return out;
}

// A spool folder whose QGPL/QPRINT holds the long invoice, after the sample `first` when given.
struct LongSpool : QTemporaryDir {
    explicit LongSpool(const char* first = nullptr) {
        if (first)
            put(QStringLiteral("00-") + QLatin1String(first),
                readAll(HostSimFixture::samples() + QStringLiteral("/QGPL/QPRINT/") + QLatin1String(first)).toStdString());
        put(QStringLiteral("01-invoice.splf"), longInvoice());
    }
    void put(const QString& name, const std::string& text) const {
        HostSimFixture::writeSpooledFile(path(), QStringLiteral("QGPL"), QStringLiteral("QPRINT"), name, text);
    }
};
}  // namespace

// A run killed (SIGKILL) in the middle of a report, then another run: a file
// being replaced is byte for byte as it was; one being added to is cut back
// by the next run, which leaves it as it was or adds exactly its own report.
TEST(OverlappingRuns, ARunKilledInTheMiddleOfAReportLeavesTheEarlierFileAsItWas) {
    const LongSpool longSpool;
    const struct {
        const char* what;
        bool adds;
        const char* nextFile;  // the second run's file
    } cases[] = {{"adding, the next run adds to the same file", true, "daily.txt"},
                 {"adding, the next run writes another file of the folder", true, "other.txt"},
                 {"replacing, the next run replaces the same file", false, "daily.txt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TwoRuns runs(20, longSpool.path());
        const QString daily = runs.in(QStringLiteral("daily.txt"));
        writeEarlier(daily);
        const QString replace = c.adds ? QStringLiteral("False") : QStringLiteral("True");
        for (BatchHost* b : {&runs.first, &runs.second}) b->remember("Add replace", replace);
        // What the killed run has handed to the disk: added to the file, or in
        // the new file beside it.
        auto arrived = [&] {
            if (c.adds) return QFileInfo(daily).size() - kEarlier.size();
            qint64 n = 0;
            for (const QFileInfo& f : QDir(runs.first.outDir).entryInfoList({QStringLiteral(".swdl-*")}, QDir::Files | QDir::Hidden))
                n += f.size();
            return n;
        };
        QProcess killed;
        runs.first.start(killed, runs.args(runs.first, {QStringLiteral("Text file=") + daily}));
        ASSERT_TRUE(serveUntil([&] { return arrived() > 1000; })) << "the report never began to arrive";
        killed.kill();
        ASSERT_TRUE(killed.waitForFinished(5000));
        EXPECT_EQ(killed.exitStatus(), QProcess::CrashExit);
        ASSERT_LT(arrived(), 10 * wholeInvoice().size()) << "the killed run was not in the middle of its report";
        if (!c.adds) {
            EXPECT_EQ(readAll(daily), kEarlier);
        }

        const RunResult next =
            runs.second.run(runs.args(runs.second, {QStringLiteral("Text file=") + runs.in(QString::fromLatin1(c.nextFile))}));
        EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
        const bool sameFile = std::string(c.nextFile) == "daily.txt";
        EXPECT_EQ(readAll(daily), !sameFile ? kEarlier : c.adds ? kEarlier + wholeInvoice() : wholeInvoice());
        if (!sameFile) {
            EXPECT_EQ(readAll(runs.in(QString::fromLatin1(c.nextFile))), wholeInvoice());
        }
        EXPECT_FALSE(aFileIsBeingWritten(runs.first.outDir));
    }
}

// A run told to stop (SIGTERM from cron's end or a service manager) in the
// middle of a report, on a host that is sending and on one that stopped
// answering: it ends within seconds as a cancel does, the file it was
// replacing or adding to is byte for byte as it was, nothing of the run is
// left in the folder, its line says why, and the next run goes on as usual.
TEST(OverlappingRuns, ARunStoppedBySigtermEndsAsACancelDoes) {
    const LongSpool longSpool;
    for (const bool adds : {false, true}) {
        for (const bool silent : {false, true}) {
            SCOPED_TRACE(std::string(adds ? "adding" : "replacing") + (silent ? ", the host silent" : ""));
            HostSimFaults faults;
            faults.replyDelayMs = 20;
            // The outq check, the list and three blocks of the report; then nothing.
            if (silent) faults.silentAfter = 5;
            BatchHost b(faults, longSpool.path());
            b.limitMs = 10000;
            const QString daily = QDir(b.outDir).filePath(QStringLiteral("daily.txt"));
            writeEarlier(daily);
            b.remember("Add replace", adds ? QStringLiteral("False") : QStringLiteral("True"));
            const QString sets = b.settingsFile("d.spw", QStringLiteral("Text file"), "QPRINT",
                                                {QStringLiteral("Text file=") + daily});
            QProcess stopped;
            b.start(stopped, invoiceOnly(sets));
            ASSERT_TRUE(serveUntil([&] { return b.host.jobFrames().size() >= 7; })) << "the report never began";
            stopped.terminate();
            const RunResult r = b.finish(stopped);
            EXPECT_EQ(r.exitStatus, QProcess::NormalExit);
            EXPECT_EQ(r.exitCode, 128 + SIGTERM) << r.err.toStdString();
            EXPECT_TRUE(r.out.startsWith(QStringLiteral("FAILED    INVOICE")) &&
                        r.out.contains(QStringLiteral("The run was stopped (SIGTERM) in this report.")))
                << r.out.toStdString();
            EXPECT_EQ(readAll(daily), kEarlier);
            EXPECT_EQ(QDir(b.outDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                      QStringList{QStringLiteral("daily.txt")});

            b.host.faults() = {};
            const RunResult next = b.run(invoiceOnly(sets));
            EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
            EXPECT_EQ(readAll(daily).startsWith(kEarlier), adds);
        }
    }
}

// `timeout`, the usual guard of a cron job, signals the run and then its
// whole process group: two SIGTERMs at once. On a host slow enough that the
// report is still arriving at the end of the time (it cannot be whole in
// less than some seconds), every run ends as one SIGTERM ends it: the earlier
// file byte for byte, a FAILED line, nothing of the run left in the folder.
TEST(OverlappingRuns, ARunEndedByTimeoutEndsAsACancelDoesEveryTime) {
    const LongSpool longSpool;
    HostSimFaults faults;
    faults.replyDelayMs = 50;
    BatchHost b(faults, longSpool.path());
    b.startedBy = {QStringLiteral("timeout"), QStringLiteral("2")};
    b.limitMs = 20000;
    const QString daily = QDir(b.outDir).filePath(QStringLiteral("daily.txt"));
    const QString sets =
        b.settingsFile("d.spw", QStringLiteral("Text file"), "QPRINT", {QStringLiteral("Text file=") + daily});
    for (const bool adds : {false, true}) {
        b.remember("Add replace", adds ? QStringLiteral("False") : QStringLiteral("True"));
        for (int trial = 0; trial < 10; ++trial) {
            SCOPED_TRACE(std::string(adds ? "adding" : "replacing") + ", run " + std::to_string(trial + 1));
            writeEarlier(daily);
            const RunResult r = b.run(invoiceOnly(sets));
            EXPECT_EQ(r.exitCode, 124) << r.err.toStdString();
            EXPECT_TRUE(r.out.startsWith(QStringLiteral("FAILED    INVOICE")) &&
                        r.out.contains(QStringLiteral("The run was stopped (SIGTERM)")))
                << r.out.toStdString();
            EXPECT_EQ(readAll(daily), kEarlier);
            EXPECT_EQ(QDir(b.outDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                      QStringList{QStringLiteral("daily.txt")});
        }
    }
}

// The log of a long run shows each report's line as the report ends, not
// at the run's end: a run killed later has told what it delivered.
TEST(OverlappingRuns, EachLineReachesTheLogWhileTheRunGoesOn) {
    // The statements, then the long invoice, which cannot be whole in less than its blocks' delays, some seconds.
    const LongSpool spool("02-statements.splf");
    HostSimFaults faults;
    faults.replyDelayMs = 50;
    BatchHost b(faults, spool.path());
    QProcess run;
    b.start(run, {QStringLiteral("SETS:") + b.settingsFile("q.spw", QStringLiteral("Text file")), QStringLiteral("FILE:*ALL")});
    QByteArray out;
    const bool lineSeen = serveUntil([&] {
        out += run.readAllStandardOutput();
        return out.contains('\n') || run.state() == QProcess::NotRunning;
    });
    const bool stillGoing = run.state() != QProcess::NotRunning;
    run.terminate();
    b.finish(run);
    ASSERT_TRUE(lineSeen);
    EXPECT_TRUE(stillGoing) << "the run ended before its first line was read";
    EXPECT_TRUE(out.startsWith("written   ")) << out.toStdString();
    EXPECT_EQ(out.count('\n'), 1) << out.toStdString();
}

// Stopped in a report that had no earlier file: what arrived stays under the
// report's name, and the line says that it is only a part.
TEST(OverlappingRuns, ARunStoppedInANewFileNamesThePartItKept) {
    const LongSpool longSpool;
    HostSimFaults faults;
    faults.replyDelayMs = 20;
    faults.silentAfter = 5;  // the outq check, the list and three blocks; then nothing
    BatchHost b(faults, longSpool.path());
    b.limitMs = 10000;
    const QString other = QDir(b.outDir).filePath(QStringLiteral("other.txt"));
    writeEarlier(other);
    const QString daily = QDir(b.outDir).filePath(QStringLiteral("daily.txt"));
    const QString sets =
        b.settingsFile("d.spw", QStringLiteral("Text file"), "QPRINT", {QStringLiteral("Text file=") + daily});
    QProcess stopped;
    b.start(stopped, invoiceOnly(sets));
    ASSERT_TRUE(serveUntil([&] { return b.host.jobFrames().size() >= 7; })) << "the report never began";
    stopped.terminate();
    const RunResult r = b.finish(stopped);
    EXPECT_EQ(r.exitCode, 128 + SIGTERM) << r.err.toStdString();
    const QByteArray part = readAll(daily);
    ASSERT_FALSE(part.isEmpty());
    EXPECT_TRUE(wholeInvoice().startsWith(part) && part.size() < wholeInvoice().size());
    EXPECT_TRUE(r.out.contains(QStringLiteral("The run was stopped (SIGTERM) in this report. The part that arrived is kept in ") +
                               daily + QLatin1Char('.')))
        << r.out.toStdString();
    EXPECT_EQ(readAll(other), kEarlier);
}

// A run told to stop while a silent host has its sign-on ends at once, not at
// the sign-on's limit, and reports no failed connection.
TEST(OverlappingRuns, ARunStoppedWhileTheHostIsSilentAtSignOnEndsAtOnce) {
    HostSimFaults faults;
    faults.silentSignOn = true;
    BatchHost b(faults);
    b.limitMs = 15000;  // well below the sign-on's 60 seconds
    const QString daily = QDir(b.outDir).filePath(QStringLiteral("daily.txt"));
    writeEarlier(daily);
    QProcess stopped;
    b.start(stopped, invoiceOnly(b.settingsFile("d.spw", QStringLiteral("Text file"), "QPRINT",
                                                {QStringLiteral("Text file=") + daily})));
    ASSERT_TRUE(serveUntil([&] {
        for (const std::string& frame : b.host.listenerFrames())
            if (frame.rfind("new", 0) == 0) return true;
        return false;
    })) << "the run never signed on";
    stopped.terminate();
    const RunResult r = b.finish(stopped);
    EXPECT_EQ(r.exitStatus, QProcess::NormalExit);
    EXPECT_EQ(r.exitCode, 128 + SIGTERM) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("Could not attach"))) << r.err.toStdString();
    EXPECT_EQ(readAll(daily), kEarlier);
    EXPECT_EQ(QDir(b.outDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("daily.txt")});
}

// A pipe or a device at the target is refused before anything is sent to the
// host; no open blocks, and it stays what it was.
TEST(OverlappingRuns, ATargetThatIsNoPlainFileIsRefusedBeforeTheHostIsAsked) {
    struct Case {
        const char* name;
        mode_t type;
        const char* what;
    };
    std::vector<Case> cases{{"pipe", S_IFIFO, "a pipe (FIFO)"}};
    if (::geteuid() == 0) cases.push_back({"device", S_IFCHR, "a device"});
    for (const Case& c : cases) {
        for (const char* replace : {"True", "False"}) {
            SCOPED_TRACE(std::string(c.name) + (std::string(replace) == "True" ? " replace" : " add"));
            BatchHost b;
            b.remember("Add replace", QString::fromLatin1(replace));
            const QString target = QDir(b.outDir).filePath(QString::fromLatin1(c.name));
            const QByteArray native = QFile::encodeName(target);
            ASSERT_EQ(::mknod(native.constData(), c.type | 0600, c.type == S_IFCHR ? makedev(1, 3) : 0), 0);
            const RunResult r = b.run(invoiceOnly(b.settingsFile("t.spw", QStringLiteral("Text file"), "QPRINT",
                                                                 {QStringLiteral("Text file=") + target})));
            EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(target + QStringLiteral(" is ") + QString::fromLatin1(c.what) +
                                       QStringLiteral(", not a plain file")))
                << r.err.toStdString();
            for (const std::string& frame : b.host.jobFrames())
                EXPECT_FALSE(frame.size() > 10 && frame[10] == 'W') << "a download was asked for";
            struct stat st {};
            ASSERT_EQ(::lstat(native.constData(), &st), 0);
            EXPECT_EQ(st.st_mode & S_IFMT, c.type);
        }
    }
    if (::geteuid() != 0) GTEST_SKIP() << "the pipe was checked; a device node needs root";
}
