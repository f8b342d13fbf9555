// A batch run that finds a link at the file it would write, as a run from
// cron (often as root) may in a folder that others write: another user's
// link, or one that names another user's file, is refused before the host is
// asked, for every destination, and link and file stay as they were; the
// user's own link is written through and stays a link.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <unistd.h>

#include "BatchHost.h"
#include "BatchRun.h"
#include "Connect.h"
#include "TransferTestSupport.h"

namespace {
const QStringList kInvoiceReport = {QStringLiteral("FILE:INVOICE"), QStringLiteral("JOB:BILLING"),
                                    QStringLiteral("USER:SWUSER"), QStringLiteral("NBR:104211"), QStringLiteral("SEQ:1")};
const uid_t kOtherUser = 65534;

struct Target {
    const char* process;
    const char* key;       // of the settings file
    const char* name;      // the name it gives
    const char* written;   // the file the destination writes under it
    const char* addLine;   // a line that makes it add to the file, when it can
};
const Target kDestinations[] = {
    {"Text file", "Text file", "daily.txt", "daily.txt", nullptr},
    {"HTML document", "HTML file", "daily.html", "daily.html", "Add replace=False"},
    {"XML document", "XML file", "daily.xml", "daily.xml", nullptr},
    {"PDF document", "PDF file", "daily.pdf", "daily.pdf", nullptr},
    {"Microsoft Excel", "Excel file", "daily.xlsx", "daily.xlsx", nullptr},
    {"Microsoft Word", "Word file", "daily.doc", "daily.odt", nullptr},
};

bool downloadAsked(BatchHost& b) {
    for (const std::string& frame : b.host.jobFrames())
        if (frame.size() > 10 && frame[10] == 'W') return true;
    return false;
}
}  // namespace

TEST(LinkTarget, ALinkOfAnotherUserOrToAFileOfAnotherUserIsRefusedBeforeTheHostIsAsked) {
    if (::geteuid() != 0) GTEST_SKIP() << "files of another user need root";
    const struct {
        const char* what;
        bool linkTheirs, fileTheirs;
    } owners[] = {{"another user's file", false, true}, {"another user's link", true, false}};
    for (const Target& d : kDestinations) {
        for (const auto& o : owners) {
            for (const bool adds : {false, true}) {
                if (adds && !d.addLine && std::string(d.process) != "Text file") continue;
                SCOPED_TRACE(std::string(d.process) + ", " + o.what + (adds ? ", adding" : ""));
                BatchHost b;
                QTemporaryDir elsewhere;
                const QString file = elsewhere.filePath(QStringLiteral("theirs"));
                WriteFileBytes(file, "NOT YOURS\r\n");
                if (o.fileTheirs) {
                    ASSERT_EQ(::chown(QFile::encodeName(file).constData(), kOtherUser, kOtherUser), 0);
                }
                const QString link = QDir(b.outDir).filePath(QString::fromLatin1(d.written));
                ASSERT_TRUE(QFile::link(file, link));
                if (o.linkTheirs) {
                    ASSERT_EQ(::lchown(QFile::encodeName(link).constData(), kOtherUser, kOtherUser), 0);
                }
                QStringList lines{QString::fromLatin1(d.key) + QLatin1Char('=') +
                                  QDir(b.outDir).filePath(QString::fromLatin1(d.name))};
                if (adds && d.addLine) lines << QString::fromLatin1(d.addLine);
                if (adds && !d.addLine) b.remember("Add replace", QStringLiteral("False"));
                const RunResult r = b.run(QStringList{QStringLiteral("SETS:") +
                                                      b.settingsFile("l.spw", QString::fromLatin1(d.process), "QPRINT", lines)} +
                                          kInvoiceReport);
                EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
                EXPECT_TRUE(r.out.startsWith(QStringLiteral("FAILED"))) << r.out.toStdString();
                EXPECT_TRUE(r.err.contains(link + QStringLiteral(" is a link to a file of another user, not written")))
                    << r.err.toStdString();
                EXPECT_FALSE(downloadAsked(b));
                EXPECT_EQ(ReadFileBytes(file), "NOT YOURS\r\n");
                EXPECT_EQ(QFileInfo(link).symLinkTarget(), file);
                EXPECT_EQ(b.files(), QStringList{QString::fromLatin1(d.written)});
            }
        }
    }
}

TEST(LinkTarget, TheUsersOwnLinkIsWrittenThroughAndStaysALink) {
    for (const Target& d : kDestinations) {
        SCOPED_TRACE(d.process);
        BatchHost b;
        QTemporaryDir elsewhere;
        const QString file = elsewhere.filePath(QStringLiteral("kept.") + QFileInfo(QString::fromLatin1(d.written)).suffix());
        WriteFileBytes(file, "AN EARLIER REPORT\r\n");
        const QString link = QDir(b.outDir).filePath(QString::fromLatin1(d.written));
        ASSERT_TRUE(QFile::link(file, link));
        const RunResult r = b.run(
            QStringList{QStringLiteral("SETS:") +
                        b.settingsFile("l.spw", QString::fromLatin1(d.process), "QPRINT",
                                       {QString::fromLatin1(d.key) + QLatin1Char('=') +
                                        QDir(b.outDir).filePath(QString::fromLatin1(d.name))})} +
            kInvoiceReport);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("written   ") + link)) << r.out.toStdString();
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), file);
        EXPECT_GT(QFileInfo(file).size(), 100);
        EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QFileInfo(file).fileName()});
    }
}

// The remembered-settings file as a link: a batch run writes nothing back to
// it; what it must remember (a saved password the host refused is cleared)
// goes through the link only where the link and its file are the user's own,
// and the file stays for the owner alone.
TEST(LinkTarget, ARememberedSettingsFileThatIsALinkIsWrittenOnlyWhereItIsTheUsersOwn) {
    if (::geteuid() != 0) GTEST_SKIP() << "files of another user need root";
    for (const bool theirs : {true, false}) {
        SCOPED_TRACE(theirs ? "another user's file" : "the user's own file");
        BatchHost b;
        const QString ini = QDir(b.home.path()).filePath(QStringLiteral("config/Tolvane/iSeries Spoolwright.ini"));
        QTemporaryDir elsewhere;
        const QString file = elsewhere.filePath(QStringLiteral("settings.ini"));
        ASSERT_TRUE(QFile::rename(ini, file));
        if (theirs) {
            ASSERT_EQ(::chown(QFile::encodeName(file).constData(), kOtherUser, kOtherUser), 0);
        }
        ASSERT_TRUE(QFile::link(file, ini));
        const QByteArray before = ReadFileBytes(file).c_str();
        const QStringList args = QStringList{QStringLiteral("SETS:") + b.settingsFile("t.spw", QStringLiteral("Text file"))} +
                                 kInvoiceReport;

        const RunResult done = b.run(args);
        EXPECT_EQ(done.exitCode, 0) << done.err.toStdString();
        EXPECT_EQ(QByteArray(ReadFileBytes(file).c_str()), before);

        b.host.faults().refuseSignOn = true;
        const RunResult refused = b.run(args);
        EXPECT_EQ(refused.exitCode, kExitSignOnCancelled) << refused.err.toStdString();
        EXPECT_TRUE(QFileInfo(ini).isSymLink());
        EXPECT_EQ(QFileInfo(ini).symLinkTarget(), file);
        if (theirs) {
            EXPECT_EQ(QByteArray(ReadFileBytes(file).c_str()), before);
            EXPECT_TRUE(refused.err.contains(ini + QStringLiteral(" is a link to a file of another user, not written")))
                << refused.err.toStdString();
        } else {
            // Only the saved password changed.
            const auto withoutPassword = [](const QByteArray& text) {
                QList<QByteArray> lines = text.split('\n');
                lines.removeIf([](const QByteArray& l) { return l.startsWith("century="); });
                return lines;
            };
            const QByteArray after = ReadFileBytes(file).c_str();
            EXPECT_NE(after, before);
            EXPECT_EQ(withoutPassword(after), withoutPassword(before));
        }
        EXPECT_EQ(QFileInfo(file).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
    }
}
