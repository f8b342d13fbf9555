// The e-mail destinations end to end: reports from hostsim, the mail
// programs' stand-ins, drafts on disk and a real SMTP server on loopback.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/stat.h>

#include "DocumentCheckers.h"
#include "DownloadDriver.h"
#include "EmailCommon.h"
#include "HostSimFixture.h"
#include "MailSetup.h"
#include "MailStandIns.h"
#include "SmtpSink.h"
#include "TargetDiscovery.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"

namespace {
// A spooled file of 80 columns whose records are given whole (prefix included).
std::string report(const std::string& name, int number, const std::vector<std::string>& records) {
    std::string s = "name=" + name + "\njob=NIGHTLY\nuser=SWUSER\njobnumber=200001\nnumber=" + std::to_string(number) +
                    "\nwidth=80\nformtype=*STD\ndate=2024-06-30\ntime=23:59:01\nuserdata=JUNE\n[records]\n";
    for (const std::string& r : records) s += r + "\n";
    return s;
}

// The report on the host and its row on the screen.
void addReportTo(PlainSplfScreen& screen, const QString& spool, const QString& name, int number,
                 const std::vector<std::string>& records) {
    HostSimFixture::writeSpooledFile(spool, "SALES", "PRT01", name + ".splf", report(name.toStdString(), number, records));
    AddGridRow(screen, name, QStringLiteral("NIGHTLY/000%1").arg(number));
    SplfGrid& g = screen.grdSplf();
    const int row = g.rowCount();
    g.setCellValue(row, QStringLiteral("User"), QStringLiteral("SWUSER"));
    g.setCellValue(row, QStringLiteral("JobNumber"), QStringLiteral("200001"));
    g.setCellValue(row, QStringLiteral("Date"), QStringLiteral("2024/06/30 23:59:01"));
}

// Three directive parts for two lists of recipients, after a heading that
// names a contact address.
const std::vector<std::string> kDirected = {
    "001 SALES BY REGION            contact: help@acme.example",
    "   1MAILTO:Ann@x.org REPORT:EAST",
    "   1EAST  widgets   12",
    "   1EAST  gadgets    7 & <more> caf\xe9",
    "   1MAILTO:Ann@x.org REPORT:EAST2",
    "   1EAST2 totals    19",
    "   1MAILTO:bob@y.org;carl@z.org REPORT:WEST",
    "   1WEST  widgets    3",
};

class MailDelivery : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(spool.isValid() && work.isValid() && drafts.isValid());
        t.ctx.connection.gWorkDir = work.path();
        t.ctx.services.saveSetting(QStringLiteral("Mail server"), sink->url());
        t.ctx.services.saveSetting(QStringLiteral("Mail TLS"), QStringLiteral("No"));
        t.ctx.services.saveSetting(QStringLiteral("Mail sender"), QStringLiteral("reports@acme.example"));
        t.ctx.services.saveSetting(QStringLiteral("Drafts folder"), drafts.path());
        t.ctx.services.saveSetting(QStringLiteral("Company name"), QStringLiteral("ACME"));
        InstallMailStandIns(t.ctx);
        // As the screen does when it loads: the mail programs are found once.
        DiscoverDeliveryTargets(t.ctx);
    }
    void addReport(const QString& name, int number, const std::vector<std::string>& records) {
        addReportTo(screen, spool.path(), name, number, records);
    }
    void connect(HostSimFaults faults = {}) {
        host = std::make_unique<HostSimFixture>(HostSimFixtureOptions{.spool = spool.path(), .faults = faults, .clock = t.clock});
        ASSERT_TRUE(host->connectJobPort(t.ctx));
    }
    void choose(const char* type, int optEmail, bool autoSend, bool single = false) {
        screen.setText(ScreenText::ProcessType, QString::fromLatin1(type));
        screen.setChosen(ScreenChoice::Email, optEmail, true);
        screen.setCheck(ScreenCheck::AutoSend, autoSend ? 1 : 0);
        screen.setCheck(ScreenCheck::AttachMultiples, single ? 1 : 0);
        screen.setChosen(ScreenChoice::TextOrPdf, 0, true);
        screen.setText(ScreenText::Tabs, QStringLiteral("1"));
        screen.setText(ScreenText::Tabs2, QStringLiteral("1"));
    }
    // The report with three directive parts on a host that answers.
    void directedReport() {
        ASSERT_TRUE(sink->running()) << sink->problem().toStdString();
        addReport(QStringLiteral("REGIONS"), 1, kDirected);
        connect();
    }
    // One automatic run over the directed report, as text or PDF; the
    // messages the server received from it.
    std::vector<SmtpSink::Received> mailDirected(const char* type, bool pdf) {
        const size_t before = sink->messages().size();
        choose(type, 1, true);
        screen.setChosen(ScreenChoice::TextOrPdf, pdf ? 1 : 0, true);
        Email(t.ctx) = EmailState{};  // no subject or message kept from an earlier run
        EXPECT_EQ(run(), std::vector<ReportOutcome::Status>{ReportOutcome::Delivered});
        auto got = sink->messages();
        got.erase(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(std::min(before, got.size())));
        return got;
    }
    // An attached PDF, checked as a document of its own.
    void checkPdf(const QByteArray& content, const std::vector<std::string>& lines) {
        const QString path = QDir(work.path()).filePath(QStringLiteral("attached-%1.pdf").arg(++checked));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        CheckPdf(path, {.width = 595, .height = 842, .lines = lines});
        QFile::remove(path);
    }
    QStringList draftFiles() {
        QStringList out;
        for (const QString& f : QDir(drafts.path()).entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name))
            out << QDir(drafts.path()).filePath(f);
        return out;
    }
    // The report as the HTML body of a Netscape draft; the draft as read back, its line ends LF.
    ParsedMail netscapeDraft(const QString& name, const std::vector<std::string>& records) {
        addReport(name, 1, records);
        connect();
        choose("Netscape e-mail", 0, false);
        EXPECT_EQ(run(), std::vector<ReportOutcome::Status>{ReportOutcome::Delivered});
        const QStringList files = draftFiles();
        EXPECT_EQ(files.size(), 1u);
        ParsedMail m = files.isEmpty() ? ParsedMail{} : ParsedMail::parseFile(files[0]);
        m.body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return m;
    }
    std::vector<ReportOutcome::Status> run() {
        SplfGrid& g = screen.grdSplf();
        for (int i = 1; i <= g.rowCount(); ++i) g.setCellSelected(i, 1, true);
        std::vector<ReportOutcome::Status> s;
        for (const ReportOutcome& o : RunSelectedDownloads(t.ctx)) s.push_back(o.status);
        return s;
    }

    std::unique_ptr<SmtpSink> sink = std::make_unique<SmtpSink>();
    TestContext t;
    QTemporaryDir spool, work, drafts;
    PlainSplfScreen& screen = TextFileScreen(t.ctx);
    std::unique_ptr<HostSimFixture> host;
    int checked = 0;
};

using S = ReportOutcome::Status;
}  // namespace

TEST_F(MailDelivery, AutomaticMailSendsEachListItsPartsAsText) {
    ASSERT_NO_FATAL_FAILURE(directedReport());
    choose("Outlook e-mail", 1, true);
    EXPECT_EQ(run(), std::vector<S>{S::Delivered});
    const auto got = sink->messages();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].recipients, QStringList{QStringLiteral("ann@x.org")});
    EXPECT_EQ(got[1].recipients, (QStringList{QStringLiteral("bob@y.org"), QStringLiteral("carl@z.org")}));
    const ParsedMail first = ParsedMail::parse(got[0].data), second = ParsedMail::parse(got[1].data);
    EXPECT_EQ(first.subject, QStringLiteral("Attached reports from ACME"));
    EXPECT_EQ(first.body.trimmed(), QStringLiteral("Please find reports attached from ACME."));
    ASSERT_EQ(first.attachments.size(), 2u);
    EXPECT_EQ(first.attachments[0].content, QByteArray("EAST  widgets   12\r\nEAST  gadgets    7 & <more> caf\xe9\r\n"));
    EXPECT_EQ(first.attachments[1].content, QByteArray("EAST2 totals    19\r\n"));
    EXPECT_TRUE(got[0].data.contains("text/plain; charset=windows-1252")) << got[0].data.toStdString();
    ASSERT_EQ(second.attachments.size(), 1u);
    EXPECT_EQ(second.attachments[0].content, QByteArray("WEST  widgets    3\r\n"));
    EXPECT_EQ(screen.status(), QStringLiteral("Load to email attachment is complete: 2 messages sent."));
    EXPECT_TRUE(QDir(work.path()).entryList(QDir::Files).isEmpty());  // work and part files gone
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(MailDelivery, OutlookExpressAndNotesTypeTheListAndSendTheSameParts) {
    ASSERT_NO_FATAL_FAILURE(directedReport());
    for (const char* type : {"Outlook Express e-mail", "Lotus Notes"}) {
        SCOPED_TRACE(type);
        const auto got = mailDirected(type, false);
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(got[0].recipients, QStringList{QStringLiteral("Ann@x.org")});
        EXPECT_EQ(got[1].recipients, (QStringList{QStringLiteral("bob@y.org"), QStringLiteral("carl@z.org")}));
        const ParsedMail m = ParsedMail::parse(got[0].data);
        EXPECT_EQ(m.subject, QStringLiteral("ACME"));
        EXPECT_TRUE(m.body.contains(QStringLiteral("Please find report(s) from ACME attached."))) << m.body.toStdString();
        ASSERT_EQ(m.attachments.size(), 2u);
        EXPECT_EQ(m.attachments[1].content, QByteArray("EAST2 totals    19\r\n"));
    }
}

TEST_F(MailDelivery, AutomaticMailSendsEachListItsPartsAsPdf) {
    ASSERT_NO_FATAL_FAILURE(directedReport());
    for (const char* type : {"Outlook e-mail", "Lotus Notes"}) {
        SCOPED_TRACE(type);
        const auto got = mailDirected(type, true);
        ASSERT_EQ(got.size(), 2u);
        const ParsedMail first = ParsedMail::parse(got[0].data), second = ParsedMail::parse(got[1].data);
        ASSERT_EQ(first.attachments.size(), 2u);
        ASSERT_EQ(second.attachments.size(), 1u);
        for (const auto* a : {&first.attachments[0], &first.attachments[1], &second.attachments[0]}) {
            EXPECT_EQ(a->contentType, QStringLiteral("application/pdf"));
            EXPECT_TRUE(a->fileName.endsWith(QStringLiteral(".pdf"))) << a->fileName.toStdString();
        }
        checkPdf(first.attachments[0].content, {"EAST  widgets   12", "EAST  gadgets    7 & <more> caf\xe9"});
        checkPdf(first.attachments[1].content, {"EAST2 totals    19"});
        checkPdf(second.attachments[0].content, {"WEST  widgets    3"});
    }
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(MailDelivery, ReportsAttachedAsPdfOneDraftOrOneEach) {
    for (int i = 1; i <= 3; ++i)
        addReport(QStringLiteral("REPORT%1").arg(i), i, {"001 REPORT " + std::to_string(i), "   1line two", "   1total (3)"});
    connect();
    for (const char* type : {"Netscape e-mail", "Outlook Express e-mail", "Lotus Notes", "Outlook e-mail"}) {
        for (bool single : {true, false}) {
            SCOPED_TRACE(std::string(type) + (single ? " single" : " one each"));
            for (const QString& f : draftFiles()) QFile::remove(f);
            choose(type, 1, false, single);
            screen.setChosen(ScreenChoice::TextOrPdf, 1, true);
            EXPECT_EQ(run(), (std::vector<S>{S::Delivered, S::Delivered, S::Delivered}));
            const QStringList files = draftFiles();
            ASSERT_EQ(files.size(), single ? 1 : 3);
            std::vector<ParsedMail::Part> attached;
            for (const QString& f : files)
                for (const auto& a : ParsedMail::parseFile(f).attachments) attached.push_back(a);
            ASSERT_EQ(attached.size(), 3u);
            if (!single)  // one draft each: their names do not tell the order
                std::sort(attached.begin(), attached.end(), [](const auto& a, const auto& b) { return a.fileName < b.fileName; });
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(attached[i].contentType, QStringLiteral("application/pdf"));
                checkPdf(attached[i].content, {"REPORT " + std::to_string(i + 1), "line two", "total (3)"});
            }
        }
    }
    EXPECT_TRUE(sink->messages().empty());
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(MailDelivery, HostThatStopsAnsweringDuringAPdfAttachesNothing) {
    addReport(QStringLiteral("REPORT1"), 1, {"001 REPORT 1", "   1line two"});
    QFile earlier(QDir(drafts.path()).filePath(QStringLiteral("earlier.eml")));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("X-Unsent: 1\r\nSubject: kept\r\n\r\nkept\r\n");
    earlier.close();
    HostSimFaults f;
    f.silentAfter = 0;
    connect(f);
    choose("Outlook e-mail", 1, false);
    screen.setChosen(ScreenChoice::TextOrPdf, 1, true);
    t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
    EXPECT_EQ(run(), std::vector<S>{S::Failed});
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(draftFiles(), QStringList{earlier.fileName()});
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("X-Unsent: 1\r\nSubject: kept\r\n\r\nkept\r\n"));
}

TEST_F(MailDelivery, ReportWithoutDirectiveSendsNothingAndSaysSo) {
    addReport(QStringLiteral("PLAIN"), 1, {"001 SALES", "   1write to help@acme.example", "   1total 12"});
    connect();
    choose("Outlook e-mail", 1, true);
    t.boxes->expect(QStringLiteral("No MAILTO: line was found in report PLAIN; nothing was mailed."));
    EXPECT_EQ(run(), std::vector<S>{S::Failed});
    EXPECT_TRUE(sink->messages().empty());
    EXPECT_TRUE(t.boxes->done());
}

// Six parts of a report, each for one person: r1@x.org ... r6@x.org.
std::vector<std::string> sixLists() {
    std::vector<std::string> records = {"001 PAYSLIPS"};
    for (int i = 1; i <= 6; ++i) {
        records.push_back("   1MAILTO:r" + std::to_string(i) + "@x.org REPORT:SLIP" + std::to_string(i));
        records.push_back("   1SLIP " + std::to_string(i) + "  net 100." + std::to_string(i));
    }
    return records;
}

// Drafts hold whole reports: only their owner may read them.
void expectPrivate(const QStringList& drafts) {
    const auto mode = [](const QString& path) {
        struct stat st {};
        EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
        return st.st_mode & 0777;
    };
    for (const QString& d : drafts) {
        EXPECT_EQ(mode(d), 0600u) << d.toStdString();
        EXPECT_EQ(mode(QFileInfo(d).absolutePath()), 0700u) << d.toStdString();
    }
}

TEST_F(MailDelivery, ARefusedRecipientIsKeptAsADraftAndTheOthersStillGetTheirs) {
    sink = std::make_unique<SmtpSink>(SmtpSinkOptions{.refuse = {QStringLiteral("r3@x.org")}});
    ASSERT_TRUE(sink->running()) << sink->problem().toStdString();
    t.ctx.services.saveSetting(QStringLiteral("Mail server"), sink->url());
    addReport(QStringLiteral("PAYSLIPS"), 1, sixLists());
    connect();
    // A drafts folder an earlier version made open to everyone.
    QFile::setPermissions(drafts.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                             QFileDevice::ReadOther | QFileDevice::ExeOther);
    size_t before = 0;
    for (const char* type : {"Outlook e-mail", "Outlook Express e-mail", "Lotus Notes"}) {
        SCOPED_TRACE(type);
        for (const QString& f : draftFiles()) QFile::remove(f);
        Email(t.ctx) = EmailState{};
        choose(type, 1, true);
        // The address and the server's own words.
        t.boxes->expect(QStringLiteral("refused the recipient r3@x.org: 550 5.1.1 <r3@x.org>: Recipient address rejected"));
        EXPECT_EQ(run(), std::vector<S>{S::Failed});
        EXPECT_TRUE(t.boxes->done());
        const auto got = sink->messages();
        ASSERT_EQ(got.size(), before + 5);
        QStringList served;
        for (size_t i = before; i < got.size(); ++i) served += got[i].recipients;
        EXPECT_EQ(served, (QStringList{"r1@x.org", "r2@x.org", "r4@x.org", "r5@x.org", "r6@x.org"}));
        before = got.size();
        const QStringList kept = draftFiles();
        ASSERT_EQ(kept.size(), 1);
        EXPECT_EQ(screen.status(), QStringLiteral("Load to email attachment did not complete: 5 of 6 messages sent. "
                                                  "Draft written to %1.").arg(kept[0]));
        const ParsedMail draft = ParsedMail::parseFile(kept[0]);
        EXPECT_EQ(draft.to.join(QLatin1Char(',')).toLower(), QStringLiteral("r3@x.org"));
        // The subject each program gives a message when the options set none.
        EXPECT_EQ(draft.subject, std::string(type) == "Outlook e-mail" ? QStringLiteral("Attached reports from ACME")
                                                                     : QStringLiteral("ACME"));
        ASSERT_EQ(draft.attachments.size(), 1u);
        EXPECT_EQ(draft.attachments[0].content, QByteArray("SLIP 3  net 100.3\r\n"));
        expectPrivate(kept);
    }
}

TEST_F(MailDelivery, WithNoMailServerEveryMessageIsKeptAndTheMessageSaysWhereToSetIt) {
    t.ctx.services.saveSetting(QStringLiteral("Mail server"), QString());
    addReport(QStringLiteral("PAYSLIPS"), 1, sixLists());
    connect();
    choose("Outlook e-mail", 1, true);
    t.boxes->expect(QStringLiteral("6 messages: No mail server is set: set \"Mail server\""));
    EXPECT_EQ(run(), std::vector<S>{S::Failed});
    EXPECT_TRUE(t.boxes->done());
    EXPECT_TRUE(t.boxes->texts().join(QString()).contains(QStringLiteral("README, \"E-mail on Linux\"")));
    const QStringList kept = draftFiles();
    ASSERT_EQ(kept.size(), 6);
    QStringList to;
    for (const QString& d : kept) to += ParsedMail::parseFile(d).to;
    std::sort(to.begin(), to.end());
    EXPECT_EQ(to, (QStringList{"r1@x.org", "r2@x.org", "r3@x.org", "r4@x.org", "r5@x.org", "r6@x.org"}));
    EXPECT_TRUE(screen.status().startsWith(QStringLiteral("Load to email attachment did not complete: 0 of 6 messages sent. "
                                                          "6 drafts written to %1: ").arg(drafts.path())))
        << screen.status().toStdString();
    expectPrivate(kept);
}

// A server that keeps the program waiting after the message: the window
// still answers, and its Cancel ends the wait; the message stays a draft.
// Each program that sends by itself.
TEST_F(MailDelivery, CancelDuringASendStopsItAndKeepsTheMessage) {
    addReport(QStringLiteral("REGIONS"), 1, kDirected);
    connect();
    // Longer than the test may run: a Cancel that does not end the wait fails it.
    t.ctx.services.saveSetting(QStringLiteral("Mail timeout"), QStringLiteral("600"));
    for (const char* type : {"Outlook e-mail", "Outlook Express e-mail", "Lotus Notes"}) {
        SCOPED_TRACE(type);
        sink = std::make_unique<SmtpSink>(SmtpSinkOptions{.stall = true});
        ASSERT_TRUE(sink->running()) << sink->problem().toStdString();
        t.ctx.services.saveSetting(QStringLiteral("Mail server"), sink->url());
        Email(t.ctx) = EmailState{};
        choose(type, 1, true);
        const QStringList earlier = draftFiles();
        screen.statusHistory.clear();
        // Pressed once the mail server holds the message and the program waits for its answer.
        QTimer press;
        QObject::connect(&press, &QTimer::timeout, [&] {
            if (!t.ctx.link.cancelRequested() && sink->holding()) CancelSelectedDownloads(t.ctx);
        });
        press.start(50);
        t.boxes->expect(QStringLiteral("the send was cancelled"));
        const auto outcome = run();
        press.stop();
        EXPECT_NE(outcome, std::vector<S>{S::Delivered});
        EXPECT_TRUE(t.boxes->done()) << t.boxes->texts().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(sink->messages().empty());
        QStringList kept = draftFiles();
        for (const QString& f : earlier) kept.removeOne(f);
        ASSERT_EQ(kept.size(), 1);
        EXPECT_EQ(ParsedMail::parseFile(kept[0]).to.join(QLatin1Char(',')).toLower(), QStringLiteral("ann@x.org"));
    }
}

TEST_F(MailDelivery, HostThatStopsAnsweringMailsNothing) {
    addReport(QStringLiteral("REGIONS"), 1, kDirected);
    HostSimFaults f;
    f.silentAfter = 0;
    connect(f);
    choose("Outlook e-mail", 1, true);
    t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
    EXPECT_NE(run(), std::vector<S>{S::Delivered});
    EXPECT_TRUE(t.boxes->done());
    EXPECT_TRUE(sink->messages().empty());
    EXPECT_TRUE(draftFiles().isEmpty());
}

TEST_F(MailDelivery, ThreeReportsAttachedToOneDraftOrToThreeByEveryProgram) {
    for (int i = 1; i <= 3; ++i)
        addReport(QStringLiteral("REPORT%1").arg(i), i, {"001 REPORT " + std::to_string(i), "   1line two"});
    connect();
    for (const char* type : {"Netscape e-mail", "Outlook Express e-mail", "Lotus Notes", "Outlook e-mail"}) {
        for (bool single : {true, false}) {
            SCOPED_TRACE(std::string(type) + (single ? " single" : " one each"));
            for (const QString& f : draftFiles()) QFile::remove(f);
            choose(type, 1, false, single);
            EXPECT_EQ(run(), (std::vector<S>{S::Delivered, S::Delivered, S::Delivered}));
            const QStringList files = draftFiles();
            ASSERT_EQ(files.size(), single ? 1 : 3);
            QStringList contents;
            for (const QString& f : files) {
                const ParsedMail m = ParsedMail::parseFile(f);
                ASSERT_TRUE(m.ok);
                EXPECT_EQ(m.unsent, QStringLiteral("1"));
                for (const auto& a : m.attachments) contents << QString::fromLatin1(a.content).section(QLatin1Char('\r'), 0, 0);
            }
            if (!single) contents.sort();  // one draft each: their names do not tell the order
            EXPECT_EQ(contents, (QStringList{"REPORT 1", "REPORT 2", "REPORT 3"}));  // in selection order
        }
    }
    EXPECT_TRUE(sink->messages().empty());  // nothing is sent: the user does that
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(MailDelivery, HtmlBodyOfSixtyRecords) {
    std::vector<std::string> records;
    for (int i = 1; i <= 60; ++i) records.push_back((i == 1 ? "001 " : "   1") + std::string("LINE ") + std::to_string(i) + (i == 7 ? " A&B <C> Caf\xe9" : ""));
    ParsedMail m;
    ASSERT_NO_FATAL_FAILURE(m = netscapeDraft(QStringLiteral("SIXTY"), records));
    EXPECT_EQ(m.bodyType, QStringLiteral("text/html"));
    EXPECT_EQ(m.body.count(QStringLiteral("<P>LINE ")), 60);
    EXPECT_TRUE(m.body.contains(QStringLiteral("<P>LINE 7 A&amp;B &lt;C&gt; Caf\u00e9</P>"))) << m.body.toStdString();
    EXPECT_TRUE(m.body.contains(QStringLiteral("<P>LINE 60</P>\n</FONT></BODY>")));
    // The status says where the draft is.
    ASSERT_EQ(draftFiles().size(), 1);
    EXPECT_TRUE(screen.status().contains(QStringLiteral(".  60 records transferred.  Draft written to ") + draftFiles()[0]))
        << screen.status().toStdString();
}

TEST_F(MailDelivery, ReportAsTheTextBodyInTheOtherThreePrograms) {
    addReport(QStringLiteral("SHORT"), 1, {"001 FIRST", "   1SECOND & <last> \x80 5 Caf\xe9"});
    connect();
    for (const char* type : {"Outlook Express e-mail", "Lotus Notes", "Outlook e-mail"}) {
        SCOPED_TRACE(type);
        for (const QString& f : draftFiles()) QFile::remove(f);
        choose(type, 0, false);
        EXPECT_EQ(run(), std::vector<S>{S::Delivered});
        const QStringList files = draftFiles();
        ASSERT_EQ(files.size(), 1);
        const ParsedMail m = ParsedMail::parseFile(files[0]);
        EXPECT_EQ(m.bodyType, QStringLiteral("text/plain"));
        EXPECT_EQ(m.body.trimmed().replace(QStringLiteral("\r\n"), QStringLiteral("\n")), QStringLiteral("FIRST\nSECOND & <last> \u20ac 5 Caf\u00e9"));
    }
}

// The message is not mailed but kept as a draft with all its recipients,
// named in the message and the report's line; the report's other message
// still goes, and a draft already in the folder stays. Unattended, as the
// draft is then only written.
TEST_F(MailDelivery, MoreRecipientsThanAMessageTakesAreKeptAsADraftAndTheOthersStillGo) {
    ASSERT_TRUE(sink->running()) << sink->problem().toStdString();
    std::vector<std::string> records = {"001 MAILTO:first@x.org"};
    for (int i = 1; i <= 200; ++i) records.push_back("   1r" + std::to_string(i) + "@x.org");
    records.push_back("   1THE REPORT");
    records.push_back("   1MAILTO:solo@x.org REPORT:SOLO");
    records.push_back("   1SOLO PART");
    addReport(QStringLiteral("MANY"), 1, records);
    connect();
    const QString earlier = QDir(drafts.path()).filePath(QStringLiteral("earlier.eml"));
    {
        QFile f(earlier);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("To: someone@x.org\r\nSubject: kept from yesterday\r\n\r\nbody\r\n");
    }
    t.ctx.mode.gBatchMode = true;
    choose("Outlook e-mail", 1, true);
    t.boxes->expect(QStringLiteral("Report MANY names 201 recipients for one message; a message takes at most 200."));
    screen.grdSplf().setCellSelected(1, 1, true);
    const std::vector<ReportOutcome> outcomes = RunSelectedDownloads(t.ctx);
    ASSERT_EQ(outcomes.size(), 1u);
    const ReportOutcome& out = outcomes.front();
    EXPECT_TRUE(t.boxes->done());
    const auto got = sink->messages();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].recipients, QStringList{QStringLiteral("solo@x.org")});

    QStringList kept = draftFiles();
    ASSERT_TRUE(kept.removeOne(earlier));
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(out.status, S::Failed);
    EXPECT_EQ(out.drafts, kept);
    EXPECT_TRUE(t.boxes->texts().join(QString()).contains(QStringLiteral("Draft written to %1.").arg(kept[0])));
    EXPECT_TRUE(screen.status().startsWith(QStringLiteral("Load to email attachment did not complete: 1 of 2 messages sent. "
                                                          "Draft written to %1.").arg(kept[0])))
        << screen.status().toStdString();
    const ParsedMail draft = ParsedMail::parseFile(kept[0]);
    QStringList to;
    for (const QString& a : draft.to) to << a.trimmed().toLower();
    EXPECT_EQ(to.size(), 201);
    EXPECT_TRUE(to.contains(QStringLiteral("first@x.org")) && to.contains(QStringLiteral("r200@x.org")));
    EXPECT_EQ(draft.subject, QStringLiteral("Attached reports from ACME"));
    ASSERT_EQ(draft.attachments.size(), 1u);
    EXPECT_TRUE(draft.attachments[0].content.contains("THE REPORT"));
    expectPrivate(kept);
    EXPECT_EQ(ParsedMail::parseFile(earlier).subject, QStringLiteral("kept from yesterday"));
}

// Keys go only to a window that was brought to the front, and the wait for
// it is bounded.
TEST(MailKeys, AWindowThatNeverComesGetsNoKeysAndStopsTheDelivery) {
    TestContext t;
    QTemporaryDir spool;
    PlainSplfScreen& screen = TextFileScreen(t.ctx);
    addReportTo(screen, spool.path(), QStringLiteral("R"), 1, {"001 LINE"});
    t.ctx.connection.gWorkDir = t.paths->cachePath();
    QDir().mkpath(t.ctx.connection.gWorkDir);
    t.automation->install(QStringLiteral("Notes.NotesUIWorkspace")).install(QStringLiteral("Notes.NotesSession"));
    t.keyboard->canActivate = [](const QString&) { return false; };
    HostSimFixture host({.spool = spool.path(), .clock = t.clock});
    ASSERT_TRUE(host.connectJobPort(t.ctx));
    screen.setText(ScreenText::ProcessType, QStringLiteral("Lotus Notes"));
    screen.setChosen(ScreenChoice::Email, 1, true);
    screen.setText(ScreenText::Tabs, QStringLiteral("1"));
    t.boxes->expect(QStringLiteral("The Lotus Notes window \"Lotus Notes\" did not come to the front"));
    const auto out = RunSelectedDownloads(t.ctx);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].status, ReportOutcome::Failed);
    EXPECT_TRUE(t.boxes->done());
    EXPECT_TRUE(t.keyboard->sent().empty());
    EXPECT_FALSE(t.keyboard->activations().isEmpty());
}

// Each part of an automatic mail ends with its own last page: the directive
// that starts the next part on a new page adds no empty page to it. A
// remembered print-control tick is the text file's and cuts nothing off.
TEST_F(MailDelivery, EachAutomaticPartEndsWithItsOwnLastPage) {
    ASSERT_TRUE(sink->running()) << sink->problem().toStdString();
    addReport(QStringLiteral("PAGES"), 1,
              {"001 HEADING", "   1MAILTO:Ann@x.org REPORT:ONE", "   1ONE FIRST PAGE", "001 ONE SECOND PAGE",
               "   1ONE MORE", "001 MAILTO:bob@y.org REPORT:TWO", "   1TWO ONLY"});
    connect();
    screen.setCheck(ScreenCheck::PrintControl, 1);
    screen.setChosen(ScreenChoice::PrintControlFormat, 1, true);
    const QString path = QDir(work.path()).filePath(QStringLiteral("part.pdf"));
    const auto pdf = mailDirected("Outlook e-mail", true);
    ASSERT_EQ(pdf.size(), 2u);
    const ParsedMail one = ParsedMail::parse(pdf[0].data), two = ParsedMail::parse(pdf[1].data);
    ASSERT_EQ(one.attachments.size(), 1u);
    ASSERT_EQ(two.attachments.size(), 1u);
    WriteFileBytes(path, one.attachments[0].content.toStdString());
    CheckPdf(path, {.pages = 2, .lines = {"ONE FIRST PAGE", "ONE SECOND PAGE", "ONE MORE"}});
    WriteFileBytes(path, two.attachments[0].content.toStdString());
    CheckPdf(path, {.pages = 1, .lines = {"TWO ONLY"}});
    QFile::remove(path);
    const auto text = mailDirected("Outlook e-mail", false);
    ASSERT_EQ(text.size(), 2u);
    const ParsedMail textOne = ParsedMail::parse(text[0].data);
    ASSERT_EQ(textOne.attachments.size(), 1u);
    EXPECT_EQ(textOne.attachments[0].content, QByteArray("ONE FIRST PAGE\r\nONE SECOND PAGE\r\nONE MORE\r\n"));
    EXPECT_TRUE(t.boxes->done());
}

// The HTML body puts each record on the text file's line: a blank paragraph
// for each empty line, two between pages; control bytes as blanks.
TEST_F(MailDelivery, HtmlBodyLinesAreTheTextFilesLines) {
    ParsedMail m;
    ASSERT_NO_FATAL_FAILURE(
        m = netscapeDraft(QStringLiteral("LINES"), {"001 ONE", "004 FOUR", "   2SIX", "004 NEXT PAGE", "   1CTRL[\x01\x1b]"}));
    const QString blank = QStringLiteral("<P> </P>\n");
    EXPECT_TRUE(m.body.contains(QStringLiteral("<P>ONE</P>\n") + blank + blank + QStringLiteral("<P>FOUR</P>\n") + blank +
                                QStringLiteral("<P>SIX</P>\n") + blank + blank + blank + blank + blank +
                                QStringLiteral("<P>NEXT PAGE</P>\n<P>CTRL[  ]</P>\n")))
        << m.body.toStdString();
}
