// A nightly job: the real Swdesk, started with a command line, mails a report
// to the people named inside it through the SMTP server of its settings.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "BatchRun.h"
#include "HostSimFixture.h"
#include "SmtpSink.h"
#include "SwdeskRun.h"

namespace {
const std::string kReport =
    "name=REGIONS\njob=NIGHTLY\nuser=SWUSER\njobnumber=200001\nnumber=1\nwidth=80\nformtype=*STD\n"
    "date=2024-06-30\ntime=23:59:01\nuserdata=JUNE\n[records]\n"
    "001 SALES BY REGION            contact: help@acme.example\n"
    "   1MAILTO:Ann@x.org REPORT:EAST\n"
    "   1EAST  widgets   12\n"
    "   1MAILTO:bob@y.org;carl@z.org REPORT:WEST\n"
    "   1WEST  widgets    3\n";

// What the user had before the run; no run may cost it.
const QByteArray kEarlier = "an earlier report\r\n";

struct MailJob {
    explicit MailJob(const SmtpSinkOptions& server = {}, const QByteArray& process = "Outlook e-mail") : sink(server) {
        HostSimFixture::writeSpooledFile(spool.path(), QStringLiteral("SALES"), QStringLiteral("PRT01"),
                                         QStringLiteral("REGIONS.splf"), kReport);
        host = std::make_unique<HostSimFixture>(HostSimFixtureOptions{.spool = spool.path()});
        QDir().mkpath(home.path(QStringLiteral("out")));
        QDir().mkpath(home.path(QStringLiteral("drafts")));
        home.setting("URL", host->address());
        home.setting("User", QStringLiteral("SWUSER"));
        home.savePassword(QStringLiteral("SWPASS"));
        home.setting("Save Path", home.path(QStringLiteral("out")));
        home.setting("Wait time", QStringLiteral("2"));
        home.setting("Mail server", sink.url());
        home.setting("Mail TLS", QStringLiteral("No"));
        home.setting("Mail sender", QStringLiteral("reports@acme.example"));
        home.setting("Mail timeout", QStringLiteral("3"));
        home.setting("Drafts folder", home.path(QStringLiteral("drafts")));
        home.setting("Company name", QStringLiteral("ACME"));
        for (const char* f : {"out/REGIONS.txt", "drafts/earlier.eml"}) {
            QFile earlier(home.path(QString::fromLatin1(f)));
            EXPECT_TRUE(earlier.open(QIODevice::WriteOnly));
            earlier.write(kEarlier);
        }
        QFile sets(home.path(QStringLiteral("mail.spw")));
        EXPECT_TRUE(sets.open(QIODevice::WriteOnly));
        sets.write("[Properties]\r\nID=Spwrter_10.0\r\nOutq=PRT01\r\nLibrary=SALES\r\nUser=*ALL\r\n"
                   "Process=" + process + "\r\nEmail=False\r\nAuto send=1\r\nRemove blanks=1\r\n");
    }
    SwdeskRun run(const QStringList& report) {
        return home.run(QStringList{QStringLiteral("SETS:") + home.path(QStringLiteral("mail.spw"))} + report);
    }
    // Every file the user had is there as it was; the drafts written by the run.
    QStringList checkFilesKept() {
        for (const char* f : {"out/REGIONS.txt", "drafts/earlier.eml"}) {
            QFile earlier(home.path(QString::fromLatin1(f)));
            EXPECT_TRUE(earlier.open(QIODevice::ReadOnly)) << f;
            EXPECT_EQ(earlier.readAll(), kEarlier) << f;
        }
        EXPECT_EQ(QDir(home.path(QStringLiteral("out"))).entryList(QDir::Files), QStringList{QStringLiteral("REGIONS.txt")});
        QStringList drafts;
        for (const QString& f : QDir(home.path(QStringLiteral("drafts"))).entryList(QDir::Files))
            if (f != QLatin1String("earlier.eml")) drafts << home.path(QStringLiteral("drafts/") + f);
        return drafts;
    }

    SmtpSink sink;
    QTemporaryDir spool;
    SwdeskHome home;
    std::unique_ptr<HostSimFixture> host;
};

const QStringList kOneReport = {QStringLiteral("FILE:REGIONS"), QStringLiteral("JOB:NIGHTLY"), QStringLiteral("USER:SWUSER"),
                                QStringLiteral("NBR:200001"), QStringLiteral("SEQ:1"),
                                QStringLiteral("DATE:2024/06/30 23:59:01")};
const QStringList kWholeQueue = {QStringLiteral("FILE:*ALL")};
}  // namespace

// Outlook mails one report by itself, and a whole queue goes as the screen's
// driver sends it: every program whose "Automatically send" is on mails each
// list its part.
TEST(MailBatch, MailsEachListItsPartOfTheReport) {
    const struct {
        const char* process;
        QStringList road;
        const char *first, *subject, *body;  // Outlook takes the addresses in lower case
    } cases[] = {
        {"Outlook e-mail", kOneReport, "ann@x.org", "Attached reports from ACME", "Please find reports attached from ACME."},
        {"Outlook e-mail", kWholeQueue, "ann@x.org", "Attached reports from ACME", "Please find reports attached from ACME."},
        {"Outlook Express e-mail", kWholeQueue, "Ann@x.org", "ACME", "Please find report(s) from ACME attached."},
        {"Lotus Notes", kWholeQueue, "Ann@x.org", "ACME", "Please find report(s) from ACME attached."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.process) + " " + c.road.join(QLatin1Char(' ')).toStdString());
        MailJob job({}, c.process);
        ASSERT_TRUE(job.sink.running()) << job.sink.problem().toStdString();
        const SwdeskRun r = job.run(c.road);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        // No file is written: the line names the report that went, and how many messages.
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("delivered REGIONS"))) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral(": 2 messages sent to the recipients the report names.")))
            << r.out.toStdString();
        const auto got = job.sink.messages();
        ASSERT_EQ(got.size(), 2u) << r.err.toStdString();
        EXPECT_EQ(got[0].recipients, QStringList{QString::fromLatin1(c.first)});
        EXPECT_EQ(got[1].recipients, (QStringList{QStringLiteral("bob@y.org"), QStringLiteral("carl@z.org")}));
        const ParsedMail east = ParsedMail::parse(got[0].data), west = ParsedMail::parse(got[1].data);
        EXPECT_EQ(east.from, QStringLiteral("reports@acme.example"));
        EXPECT_EQ(east.subject, QString::fromLatin1(c.subject));
        // Notes keeps the line its attach step types below the message.
        EXPECT_TRUE(east.body.startsWith(QString::fromLatin1(c.body))) << east.body.toStdString();
        ASSERT_EQ(east.attachments.size(), 1u);
        EXPECT_EQ(east.attachments[0].content, QByteArray("EAST  widgets   12\r\n"));
        ASSERT_EQ(west.attachments.size(), 1u);
        EXPECT_EQ(west.attachments[0].content, QByteArray("WEST  widgets    3\r\n"));
        EXPECT_TRUE(job.checkFilesKept().isEmpty());
    }
}

TEST(MailBatch, AMessageThatDoesNotGoIsKeptAndTheOthersStillGo) {
    struct Case {
        const char* name;
        SmtpSinkOptions server;
        const char* said;
        size_t delivered;
    };
    const Case cases[] = {
        {"refuses the first recipient", {.refuse = {QStringLiteral("ann@x.org")}},
         "refused the recipient ann@x.org: 550 5.1.1 <ann@x.org>: Recipient address rejected", 1},
        {"stops answering", {.stall = true}, "did not take the message", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MailJob job(c.server);
        ASSERT_TRUE(job.sink.running()) << job.sink.problem().toStdString();
        const SwdeskRun r = job.run(kOneReport);
        EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("FAILED    REGIONS"))) << r.out.toStdString();
        // The batch line says why, how many went and where the rest is.
        EXPECT_TRUE(r.out.contains(QString::fromLatin1(c.said))) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("%1 of 2 messages of report REGIONS were sent.").arg(c.delivered)))
            << r.out.toStdString();
        const auto got = job.sink.messages();
        ASSERT_EQ(got.size(), c.delivered);
        if (c.delivered) {
            EXPECT_EQ(got[0].recipients, (QStringList{QStringLiteral("bob@y.org"), QStringLiteral("carl@z.org")}));
        }
        // The messages that did not go are kept for the user as drafts, named on the line.
        const QStringList drafts = job.checkFilesKept();
        ASSERT_EQ(drafts.size(), static_cast<qsizetype>(2 - c.delivered));
        for (const QString& d : drafts) EXPECT_TRUE(r.out.contains(QFileInfo(d).fileName())) << r.out.toStdString();
        const ParsedMail kept = ParsedMail::parseFile(drafts[0]);
        EXPECT_EQ(kept.to, QStringList{QStringLiteral("ann@x.org")});
        EXPECT_EQ(kept.subject, QStringLiteral("Attached reports from ACME"));
        ASSERT_EQ(kept.attachments.size(), 1u);
        EXPECT_EQ(kept.attachments[0].content, QByteArray("EAST  widgets   12\r\n"));
    }
}

TEST(MailBatch, AMailServerThatStopsAnsweringLeavesTheWholeQueuesMessagesAsDrafts) {
    for (const char* process : {"Outlook Express e-mail", "Lotus Notes"}) {
        SCOPED_TRACE(process);
        MailJob job({.stall = true}, process);
        ASSERT_TRUE(job.sink.running()) << job.sink.problem().toStdString();
        job.home.setting("Mail timeout", QStringLiteral("1"));
        const SwdeskRun r = job.run(kWholeQueue);
        EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
        // The line says how many went and where the rest are.
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("FAILED    REGIONS")) &&
                    r.out.contains(QStringLiteral("0 of 2 messages of report REGIONS were sent.")))
            << r.out.toStdString();
        const QStringList drafts = job.checkFilesKept();
        ASSERT_EQ(drafts.size(), 2) << r.out.toStdString();
        for (const QString& d : drafts) EXPECT_TRUE(r.out.contains(QFileInfo(d).fileName())) << r.out.toStdString();
    }
}

// One report named on the command line is attached to a message left for the
// user by every program but Outlook.
TEST(MailBatch, OutlookExpressAndNotesAttachTheOneReportInstead) {
    for (const char* process : {"Outlook Express e-mail", "Lotus Notes"}) {
        SCOPED_TRACE(process);
        MailJob job({}, process);
        ASSERT_TRUE(job.sink.running()) << job.sink.problem().toStdString();
        const SwdeskRun r = job.run(kOneReport);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(job.sink.messages().empty());
        const QStringList drafts = job.checkFilesKept();
        ASSERT_EQ(drafts.size(), 1) << r.err.toStdString();
        // The batch line says where the message is.
        EXPECT_TRUE(r.out.contains(QStringLiteral("delivered REGIONS")) && r.out.contains(QStringLiteral("Draft written to ") + drafts[0]))
            << r.out.toStdString();
        const ParsedMail draft = ParsedMail::parseFile(drafts[0]);
        EXPECT_TRUE(draft.to.isEmpty());
        ASSERT_EQ(draft.attachments.size(), 1u);
        EXPECT_TRUE(draft.attachments[0].content.contains("MAILTO:bob@y.org;carl@z.org"));
    }
}

TEST(MailBatch, ADraftThatCannotBeWrittenFailsTheRun) {
    MailJob job({}, "Outlook Express e-mail");
    ASSERT_TRUE(job.sink.running()) << job.sink.problem().toStdString();
    // The drafts folder's name is taken by a file of the user's.
    const QString taken = job.home.path(QStringLiteral("out/REGIONS.txt"));
    job.home.setting("Drafts folder", taken);
    const SwdeskRun r = job.run(kOneReport);
    EXPECT_EQ(r.exitCode, kExitNotDelivered) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("drafts folder"))) << r.err.toStdString();
    EXPECT_TRUE(job.sink.messages().empty());
    EXPECT_TRUE(job.checkFilesKept().isEmpty());
}
