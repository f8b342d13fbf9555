// The real Swdesk in batch mode: what a script that runs it can rely on.
// Every run ends by itself with a status that says what happened, its
// messages on standard error, and nothing it was not asked to write.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <sys/stat.h>

#include "BatchHost.h"
#include "BatchRun.h"
#include "TransferTestSupport.h"
#include "Connect.h"
#include "IniSettingsStore.h"
#include "TestSupport.h"

namespace {
const QString kInvoice = QStringLiteral("INVOICE BILLING SWUSER 104211 0001 2004-03-15 14-22-07.txt");

// A run that meets a problem before the host: a limit, not a measurement.
constexpr qint64 kQuickEndMs = 10000;

QString rememberedFile(BatchHost& b) {
    return IniSettingsStore(QDir(b.home.path()).filePath(QStringLiteral("config/Tolvane")))
        .fileName(QStringLiteral("iSeries Spoolwright"));
}

void append(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(bytes);
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Everything in the folder, files and folders alike.
QStringList everythingIn(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

bool holdsControlCharacters(const QString& text) {
    for (QChar c : text)
        if ((c.unicode() < 0x20 && c != u'\n') || c.unicode() == 0x7F) return true;
    return false;
}
}  // namespace

// A remembered-settings file that cannot be read ends the run at once: no
// message box waits for a person, the file is set aside for the next run.
TEST(BatchStatus, ADamagedRememberedSettingsFileEndsTheRun) {
    const struct {
        const char* name;
        QByteArray damage;
    } cases[] = {
        {"a line of junk", "this is junk\n"},
        {"a quote that never closes", "Wait time=\"2\n"},
        {"a file over 4 MB", QByteArray("Host=\"as400\"\n").repeated(4 * 1024 * 1024 / 13 + 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BatchHost b;
        b.limitMs = kQuickEndMs;
        const QString remembered = rememberedFile(b);
        append(remembered, c.damage);
        const QByteArray damaged = bytesOf(remembered);
        const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file")),
                                   QStringLiteral("FILE:*ALL")});
        EXPECT_EQ(r.exitCode, kExitSettingsFile) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("is damaged"))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("The batch run ends"))) << r.err.toStdString();
        // It says what happened, and only that: the run does not go on.
        EXPECT_FALSE(r.err.contains(QStringLiteral("goes on"))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("kept as \"") + remembered + QStringLiteral(".damaged\""))) << r.err.toStdString();
        EXPECT_EQ(bytesOf(remembered + QStringLiteral(".damaged")), damaged) << "kept whole, aside";
        EXPECT_FALSE(QFileInfo::exists(remembered)) << "the next run does not meet it again";
        EXPECT_TRUE(b.host.listenerFrames().empty());
        EXPECT_TRUE(everythingIn(b.outDir).isEmpty());
    }
}

// Each shell argument is one parameter, commas and all.
TEST(BatchStatus, ArgumentsHoldingCommasStayWhole) {
    BatchHost b;
    const QString folder = QDir(b.home.path()).filePath(QStringLiteral("with,comma"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString sets = QDir(folder).filePath(QStringLiteral("t,1.spw"));
    ASSERT_TRUE(QFile::rename(b.settingsFile("t.spw", QStringLiteral("Text file")), sets));
    const RunResult r = b.run({QStringLiteral("SETS:") + sets, QStringLiteral("FILE:*ALL"), QStringLiteral("NAME:Smith, Ann")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(b.files().contains(QStringLiteral("Smith, Ann ") + kInvoice)) << b.files().join(u'\n').toStdString();

    // A spooled-file name with a comma reaches the host as one name.
    const RunResult one = b.run({QStringLiteral("SETS:") + sets, QStringLiteral("FILE:INV,OICE"), QStringLiteral("JOB:BILLING"),
                                 QStringLiteral("USER:SWUSER"), QStringLiteral("NBR:104211"), QStringLiteral("SEQ:1")});
    EXPECT_EQ(one.exitCode, kExitNotDelivered) << one.err.toStdString();
    ASSERT_FALSE(b.host.jobFrames().empty());
    EXPECT_EQ(b.host.jobFrames().back().substr(10, 11), "WINV,OICE  ");
    EXPECT_TRUE(one.out.contains(QStringLiteral("FAILED    INV,OICE"))) << one.out.toStdString();
}

// Runs that end before anything reaches the host, each with its status.
TEST(BatchStatus, EveryParameterErrorIsFoundBeforeConnecting) {
    struct Case {
        const char* name;
        std::function<QStringList(BatchHost&)> args;
        int exitCode;
        const char* message;
    };
    auto sets = [](BatchHost& b, const QStringList& extra, const QString& process = QStringLiteral("Text file")) {
        return QStringLiteral("SETS:") + b.settingsFile("t.spw", process, "QPRINT", extra);
    };
    auto fileOf = [](BatchHost& b, const QByteArray& bytes) {
        const QString p = QDir(b.home.path()).filePath(QStringLiteral("odd.spw"));
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return QStringLiteral("SETS:") + p;
    };
    const Case cases[] = {
        {"the empty argument alone", [](BatchHost&) { return QStringList{QString()}; }, kExitBadParameter,
         "Parameter type = 1 Parameter value ="},
        {"an empty argument among others", [](BatchHost&) { return QStringList{QStringLiteral("FILE:QSYSPRT"), QString()}; },
         kExitBadParameter, "Parameter type = 2 Parameter value ="},
        {"a reversed page range", [&](BatchHost& b) { return QStringList{sets(b, {"From=5", "To=3"}), "FILE:*ALL"}; },
         kExitBadParameter, "The 'From' page number must be less than or equal to the 'To' page number."},
        {"a destination that is none", [&](BatchHost& b) { return QStringList{sets(b, {}, "Fax"), "FILE:*ALL"}; },
         kExitBadParameter, "Please select a valid application or format"},
        {"a NAME leading out of Save Path", [&](BatchHost& b) { return QStringList{sets(b, {}), "FILE:*ALL", "NAME:../x"}; },
         kExitBadParameter, "Parameter type = NAME Parameter value = ../x"},
        // The host reads the spooled-file number after the job's first "/": JOB:A/12 would
        // fetch report 12 of job A under the name of the report asked for.
        {"a JOB holding a \"/\"",
         [&](BatchHost& b) {
             return QStringList{sets(b, {}), "FILE:INVOICE", "JOB:BILL/12", "USER:SWUSER", "NBR:104211", "SEQ:1"};
         },
         kExitBadParameter, "Parameter type = JOB Parameter value = BILL/12"},
        {"a DATA with a folder", [&](BatchHost& b) { return QStringList{sets(b, {}), "FILE:QSYSPRT", "DATA:a/b"}; },
         kExitBadParameter, "Parameter type = DATA Parameter value = a/b"},
        // A file name cannot hold them: the printed line would name a file that is not there.
        {"a NAME holding an escape sequence",
         [&](BatchHost& b) { return QStringList{sets(b, {}), "FILE:*ALL", QStringLiteral("NAME:a\x1b[31mb")}; },
         kExitBadParameter, "Parameter type = NAME Parameter value = a?[31mb"},
        {"a DATA holding a tab", [&](BatchHost& b) { return QStringList{sets(b, {}), "FILE:QSYSPRT", "DATA:a\tb"}; },
         kExitBadParameter, "Parameter type = DATA Parameter value = a?b"},
        {"a NAME longer than a file name may be",
         [&](BatchHost& b) { return QStringList{sets(b, {}), "FILE:*ALL", "NAME:" + QString(300, QLatin1Char('x'))}; },
         kExitBadParameter, "Parameter type = NAME Parameter value = xxx"},
        {"a settings file of NUL bytes", [&](BatchHost& b) { return QStringList{fileOf(b, QByteArray(5000, '\0')), "FILE:*ALL"}; },
         kExitSettingsFile, "not a settings file: it holds NUL bytes"},
        {"a folder at the settings file's name",
         [](BatchHost& b) {
             const QString p = QDir(b.home.path()).filePath(QStringLiteral("folder.spw"));
             QDir().mkpath(p);
             return QStringList{QStringLiteral("SETS:") + p, QStringLiteral("FILE:*ALL")};
         },
         kExitSettingsFile, "it is not a plain file"},
        {"a pipe at the settings file's name, which nobody writes",
         [](BatchHost& b) {
             const QString p = QDir(b.home.path()).filePath(QStringLiteral("pipe.spw"));
             EXPECT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0600), 0);
             return QStringList{QStringLiteral("SETS:") + p, QStringLiteral("FILE:*ALL")};
         },
         kExitSettingsFile, "it is not a plain file"},
        {"a settings file of 20 MB",
         [&](BatchHost& b) { return QStringList{fileOf(b, "[Properties]\r\n" + QByteArray(20 << 20, 'a')), "FILE:*ALL"}; },
         kExitSettingsFile, "it is larger than"},
        {"a settings file of junk",
         [&](BatchHost& b) { return QStringList{fileOf(b, QByteArray("\x7f" "ELF\x02\x01\x00\x00junk", 12)), "FILE:*ALL"}; },
         kExitSettingsFile, "not a settings file"},
        {"a text that is no settings file", [&](BatchHost& b) { return QStringList{fileOf(b, "Process=Text file\n"), "FILE:*ALL"}; },
         kExitSettingsFile, "not a settings file"},
        {"a missing settings file", [](BatchHost&) { return QStringList{"SETS:/no/such/file.spw", "FILE:*ALL"}; },
         kExitSettingsFile, "Parameter type = SETS Parameter value = /no/such/file.spw"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BatchHost b;
        b.limitMs = kQuickEndMs;
        // An earlier file of the queue's first report is left as it was.
        WriteFileBytes(QDir(b.outDir).filePath(kInvoice), "an earlier invoice\n");
        const RunResult r = b.run(c.args(b));
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message))) << r.err.toStdString();
        EXPECT_TRUE(b.host.listenerFrames().empty());
        EXPECT_TRUE(b.host.jobFrames().empty());
        EXPECT_EQ(b.files(), QStringList{kInvoice});
        EXPECT_EQ(b.file(kInvoice), QByteArray("an earlier invoice\n"));
    }
}

// Reports the list cannot take, and a report the host refuses, are named with
// their reason; the others are delivered; host text reaches the terminal
// without its control characters.
TEST(BatchStatus, ReportsLeftOutOrRefusedAreFailedWithTheirReason) {
    QTemporaryDir spool;
    const std::string records = "[records]\n001 A REPORT\n   1 a line\n";
    auto put = [&](const char* file, const std::string& attributes) {
        HostSimFixture::writeSpooledFile(spool.path(), QStringLiteral("QGPL"), QStringLiteral("MIXQ"),
                                         QString::fromLatin1(file), attributes + records);
    };
    put("1.splf", "name=GOOD\njob=NIGHTLY\njobnumber=100001\nnumber=1\n");
    put("2.splf", "name=ZERO\njob=NIGHTLY\njobnumber=100002\nnumber=0\n");
    put("3.splf", "name=SLASHED\njob=PAY/ROLL\njobnumber=100003\nnumber=1\n");
    put("4.splf", "name=REFUSED\njob=NIGHTLY\njobnumber=100004\nnumber=1\nrefuse=yes\n");
    put("5.splf", "name=ESCAPED\njob=N\x1b[2J\x07/X\njobnumber=100005\nnumber=1\n");
    BatchHost b({}, spool.path());
    const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file"), "MIXQ"),
                               QStringLiteral("FILE:*ALL")});
    EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    auto lineOf = [&](const char* report) {
        const QStringList l = lines.filter(QString::fromLatin1(report));
        return l.size() == 1 ? l.first() : QStringLiteral("(%1 lines)").arg(l.size());
    };
    EXPECT_TRUE(lineOf("GOOD").startsWith(QStringLiteral("written   "))) << r.out.toStdString();
    EXPECT_TRUE(lineOf("ZERO").startsWith(QStringLiteral("FAILED    ZERO of job 100002: left out of the list: the spool file number")))
        << r.out.toStdString();
    EXPECT_TRUE(lineOf("SLASHED").startsWith(QStringLiteral("FAILED    SLASHED of job 100003: left out of the list: the job name")))
        << r.out.toStdString();
    EXPECT_TRUE(lineOf("REFUSED").startsWith(QStringLiteral("FAILED    REFUSED")) &&
                lineOf("REFUSED").contains(QStringLiteral("Spool file is not available.")))
        << r.out.toStdString();
    EXPECT_TRUE(lineOf("ESCAPED").contains(QStringLiteral("N?[2J?/X"))) << r.out.toStdString();
    EXPECT_FALSE(holdsControlCharacters(r.out)) << r.out.toStdString();
    EXPECT_FALSE(holdsControlCharacters(r.err)) << r.err.toStdString();
    EXPECT_EQ(b.files().size(), 1) << b.files().join(u'\n').toStdString();
}

// A refused sign-on clears the saved password and says so; the next run says
// that there is none. Neither leaves a work folder behind.
TEST(BatchStatus, ARefusedSignOnSaysThatThePasswordWasCleared) {
    HostSimFaults f;
    f.refuseSignOn = true;
    BatchHost b(f);
    const QStringList args = {QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file")),
                              QStringLiteral("FILE:*ALL")};
    const RunResult first = b.run(args);
    EXPECT_EQ(first.exitCode, kExitSignOnCancelled) << first.err.toStdString();
    EXPECT_TRUE(first.err.contains(QStringLiteral("The host refused the sign-on of user SWUSER"))) << first.err.toStdString();
    EXPECT_TRUE(first.err.contains(QStringLiteral("The saved password has been cleared"))) << first.err.toStdString();
    EXPECT_TRUE(everythingIn(b.outDir).isEmpty()) << everythingIn(b.outDir).join(u' ').toStdString();

    b.host.faults().refuseSignOn = false;
    const RunResult second = b.run(args);
    EXPECT_EQ(second.exitCode, kExitSignOnCancelled) << second.err.toStdString();
    EXPECT_TRUE(second.err.contains(QStringLiteral("There is no saved password for user SWUSER"))) << second.err.toStdString();
    EXPECT_FALSE(second.err.contains(QStringLiteral("timed out"))) << second.err.toStdString();
    EXPECT_TRUE(everythingIn(b.outDir).isEmpty()) << everythingIn(b.outDir).join(u' ').toStdString();
}

TEST(BatchStatus, NoHostAtTheAddressIsThree) {
    BatchHost b;
    b.remember("URL", QStringLiteral("127.0.0.1:1"));
    const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file")),
                               QStringLiteral("FILE:*ALL")});
    EXPECT_EQ(r.exitCode, kExitConnectFailed) << r.err.toStdString();
    EXPECT_TRUE(everythingIn(b.outDir).isEmpty());
}

// A nightly run into the file its settings name, with nothing remembered about
// Replace or Add: the file holds the night's report, not every night's.
TEST(BatchStatus, ATextFileIsReplacedUnlessAddingWasChosen) {
    for (const bool add : {false, true}) {
        SCOPED_TRACE(add ? "Add to file remembered" : "nothing remembered");
        BatchHost b;
        if (add) b.remember("Add replace", QStringLiteral("False"));
        const QString target = QDir(b.outDir).filePath(QStringLiteral("nightly.txt"));
        const QStringList args = {QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file"), "QPRINT",
                                                                           {QStringLiteral("Text file=") + target}),
                                  QStringLiteral("FILE:INVOICE"), QStringLiteral("JOB:BILLING"), QStringLiteral("USER:SWUSER"),
                                  QStringLiteral("NBR:104211"), QStringLiteral("SEQ:1")};
        ASSERT_EQ(b.run(args).exitCode, 0);
        const QByteArray once = bytesOf(target);
        ASSERT_TRUE(once.contains("I N V O I C E"));
        const RunResult again = b.run(args);
        EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
        EXPECT_EQ(bytesOf(target), add ? once + once : once);
    }
}

// A whole queue to a mail program whose compose windows stay open: each
// report's line names the draft that holds that report, so a nightly job's
// log says where each report went. A host that drops the link in the last
// report leaves the first's draft on the first's line and names none for
// the report that did not come.
// With "Attach all to single email" every report delivered is in the one
// draft at the end, and each line names it.
TEST(BatchStatus, EachReportsLineNamesItsOwnDraft) {
    for (const char* process : {"Netscape e-mail", "Outlook Express e-mail"})
    for (const bool gathered : {false, true}) {
        int answered = 0;  // the requests answered before the statement's second block
        for (const bool drop : {false, true}) {
            SCOPED_TRACE(std::string(process) + (gathered ? ", one message" : "") + (drop ? ", the link dropped" : ""));
            BatchHost b;
            if (gathered) b.remember("AttachMultiples", QStringLiteral("1"));
            if (drop) b.host.faults().dropAfter = answered;
            const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("m.spw", QString::fromLatin1(process)),
                                       QStringLiteral("FILE:*ALL")});
            if (!drop) {
                // The job port's test message gets no answer and counts for nothing.
                std::vector<std::string> requests = b.host.jobFrames();
                std::erase_if(requests, [](const std::string& f) { return f.find_first_not_of(' ') == 120; });
                const auto first = std::find_if(requests.begin(), requests.end(),
                                                [](const std::string& f) { return f.find("STATEMENT") != std::string::npos; });
                ASSERT_NE(first, requests.end());
                answered = static_cast<int>(first - requests.begin()) + 1;
            }
            EXPECT_EQ(r.exitCode, drop ? kExitNotDelivered : 0) << r.err.toStdString();
            const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
            ASSERT_EQ(lines.size(), 2) << r.out.toStdString();
            for (const QString& line : lines) {
                const bool invoice = line.contains(QStringLiteral("INVOICE SWUSER"));
                const QString said = QStringLiteral("Draft written to ");
                const qsizetype at = line.indexOf(said);
                if (drop && !invoice) {
                    EXPECT_TRUE(line.startsWith(QStringLiteral("FAILED"))) << line.toStdString();
                    EXPECT_LT(at, 0) << line.toStdString();
                    continue;
                }
                ASSERT_GE(at, 0) << line.toStdString();
                const QByteArray draft = bytesOf(line.mid(at + said.size()).chopped(1));
                EXPECT_TRUE(draft.contains(invoice ? "filename=\"INVOICE BILLING" : "filename=\"STATEMENT STMTRUN"))
                    << line.toStdString();
                EXPECT_EQ(draft.contains(invoice ? "filename=\"STATEMENT" : "filename=\"INVOICE"), gathered && !drop)
                    << line.toStdString();
            }
        }
    }
}

// A "Save Path" that is not there (a typing error, a disk not mounted) ends
// the run before anything is sent to the host, and no folder is made for it.
TEST(BatchStatus, AMissingSavePathEndsTheRunBeforeItConnectsAndMakesNothing) {
    BatchHost b;
    const QString missing = QDir(b.home.path()).filePath(QStringLiteral("unmounted/reports"));
    b.remember("Save Path", missing);
    const QString daily = QDir(b.outDir).filePath(QStringLiteral("daily.txt"));
    WriteFileBytes(daily, "AN EARLIER REPORT\r\n");
    const RunResult r = b.run({QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file"), "QPRINT",
                                                                         {QStringLiteral("Text file=") + daily}),
                               QStringLiteral("FILE:INVOICE")});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Directory ") + missing + QStringLiteral("/SWUSER not found.")))
        << r.err.toStdString();
    EXPECT_TRUE(b.host.listenerFrames().empty());
    EXPECT_TRUE(b.host.jobFrames().empty());
    EXPECT_FALSE(QFileInfo::exists(QDir(b.home.path()).filePath(QStringLiteral("unmounted"))));
    EXPECT_EQ(ReadFileBytes(daily), "AN EARLIER REPORT\r\n");
}
