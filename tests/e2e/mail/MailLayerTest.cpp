// The mail layer against a real SMTP server on loopback, and its drafts.
#include <gtest/gtest.h>

#include <memory>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>

#include "MailOutbox.h"
#include "FileSizeLimit.h"
#include "SafeOutputFile.h"
#include "RecordingProcessStarter.h"
#include "SmtpSink.h"
#include "TestSupport.h"

namespace {
QString writeFile(const QDir& dir, const QString& name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
}

QByteArray pdfBytes() {
    QByteArray b("%PDF-1.4\n");
    for (int i = 0; i < 600; ++i) b += static_cast<char>(i * 37 % 256);
    return b + "\n%%EOF\n";
}

class MailLayer : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        files = QDir(tmp.path());
        service.draftsFolder = files.filePath(QStringLiteral("Drafts"));
        service.starter = [this] { return &starter; };
        service.canOpen = [this] { return desktop; };
        service.notice = [this](const QString& p) { notices << p; };
        service.config = [this] { return config; };
        config.sender = QStringLiteral("reports@example.org");
        config.requireTls = false;
        config.timeoutSec = 5;
        config.connectTimeoutSec = 5;
        message.to = {QStringLiteral("ann@example.org"), QStringLiteral("bob@example.com")};
        message.subject = QStringLiteral("Monthly sales \u2013 Zürich");
        message.body = QStringLiteral("Please find reports attached.\r\nSecond line, caf\u00e9.");
        message.attachments = {{writeFile(files, QStringLiteral("sales.txt"), "A & B <1>\r\nline 2\r\n"), {}},
                               {writeFile(files, QStringLiteral("stock.pdf"), pdfBytes()), {}}};
    }
    QTemporaryDir tmp;
    QDir files;
    RecordingProcessStarter starter;
    bool desktop = true;
    QStringList notices;
    SmtpConfig config;
    MailService service;
    MailMessage message;
};

void expectSameMessage(const ParsedMail& got, const MailMessage& sent) {
    ASSERT_TRUE(got.ok);
    EXPECT_EQ(got.subject, sent.subject);
    EXPECT_EQ(got.to, sent.to);
    EXPECT_EQ(got.body.trimmed(), QString(sent.body).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed()
                                      .replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
    ASSERT_EQ(got.attachments.size(), sent.attachments.size());
    for (size_t i = 0; i < sent.attachments.size(); ++i) {
        QFile f(sent.attachments[i].path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(got.attachments[i].content, f.readAll()) << i;
        EXPECT_EQ(got.attachments[i].fileName, QFileInfo(f.fileName()).fileName());
    }
    EXPECT_EQ(got.attachments[0].contentType, QStringLiteral("text/plain"));
    EXPECT_EQ(got.attachments[1].contentType, QStringLiteral("application/pdf"));
}
}  // namespace

TEST_F(MailLayer, DraftIsACompleteUnsentMessageOpenedByTheDesktop) {
    const MailOutbox::Result r = service.openDraft(message);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_TRUE(r.opened);
    EXPECT_TRUE(r.draftPath.startsWith(service.draftsFolder));
    EXPECT_TRUE(r.draftPath.endsWith(QStringLiteral(".eml")));
    ASSERT_EQ(starter.commandLines(), QStringList{QStringLiteral("xdg-open ") + r.draftPath});
    EXPECT_EQ(starter.started()[0].args, QStringList{r.draftPath});  // the path as one argument
    const ParsedMail got = ParsedMail::parseFile(r.draftPath);
    expectSameMessage(got, message);
    EXPECT_EQ(got.unsent, QStringLiteral("1"));
    EXPECT_EQ(got.from, QStringLiteral("reports@example.org"));
    EXPECT_TRUE(notices.isEmpty());
}

// A draft never replaces another: not one written before, nor one that
// another run is writing at the same moment under the same name.
TEST_F(MailLayer, ADraftNeverReplacesOneThatAnotherRunIsWriting) {
    desktop = false;
    message.subject = QStringLiteral("Month end");
    QDir().mkpath(service.draftsFolder);
    // The name the draft takes depends on the second it is written in: the run's.
    const QDateTime now(QDate(2024, 2, 29), QTime(9, 8, 7));
    service.now = [now] { return now; };
    std::vector<std::unique_ptr<SafeOutputFile>> running;
    QStringList earlier;
    {
        const QString base = QDir(service.draftsFolder)
                                 .filePath(now.toString(QStringLiteral("yyyyMMdd-HHmmss-")) + QStringLiteral("Month end"));
        QFile f(base + QStringLiteral(".eml"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("EARLIER DRAFT");
        earlier << f.fileName();
        running.push_back(std::make_unique<SafeOutputFile>());
        running.back()->open(base + QStringLiteral(" (2).eml"), {});
        running.back()->write("ANOTHER RUN'S DRAFT");
    }
    const MailOutbox::Result r = service.openDraft(message);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(QFileInfo(r.draftPath).fileName(), QStringLiteral("20240229-090807-Month end (3).eml"));
    EXPECT_TRUE(ParsedMail::parseFile(r.draftPath).ok);
    QFile draft(r.draftPath);
    ASSERT_TRUE(draft.open(QIODevice::ReadOnly));
    const QByteArray bytes = draft.readAll();
    EXPECT_TRUE(("\n" + bytes).contains("\nDate: Thu, 29 Feb 2024 09:08:07 ")) << "dated by the run's clock: " << bytes.left(200).toStdString();
    for (auto& f : running) f->commit();
    for (const QString& e : earlier) {
        QFile f(e);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("EARLIER DRAFT"));
    }
    for (auto& f : running) {
        QFile g(f->path());
        ASSERT_TRUE(g.open(QIODevice::ReadOnly));
        EXPECT_EQ(g.readAll(), QByteArray("ANOTHER RUN'S DRAFT"));
    }
}

TEST_F(MailLayer, WithoutDesktopTheDraftIsOnlyWrittenAndItsPathReported) {
    desktop = false;
    const MailOutbox::Result first = service.openDraft(message);
    const MailOutbox::Result second = service.openDraft(message);
    ASSERT_TRUE(first.ok() && second.ok());
    EXPECT_FALSE(first.opened);
    EXPECT_TRUE(starter.started().empty());
    EXPECT_NE(first.draftPath, second.draftPath);  // a second draft never replaces the first
    EXPECT_EQ(notices, (QStringList{first.draftPath, second.draftPath}));
    EXPECT_TRUE(ParsedMail::parseFile(first.draftPath).ok);
}

TEST_F(MailLayer, AnUnreadableAttachmentWritesNoDraftAndKeepsEarlierOnes) {
    desktop = false;
    const MailOutbox::Result earlier = service.openDraft(message);
    ASSERT_TRUE(earlier.ok());
    message.attachments.push_back({files.filePath(QStringLiteral("gone.txt")), {}});
    const MailOutbox::Result r = service.openDraft(message);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.error.contains(QStringLiteral("gone.txt")));
    EXPECT_EQ(QDir(service.draftsFolder).entryList(QDir::Files), QStringList{QFileInfo(earlier.draftPath).fileName()});
    EXPECT_TRUE(ParsedMail::parseFile(earlier.draftPath).ok);
}

// A full disk: the draft that cannot be written whole leaves no file a user
// could take for a message (and send cut short); the earlier draft is kept.
TEST_F(MailLayer, ADraftThatTheDiskCannotHoldLeavesNothingAndKeepsEarlierOnes) {
    desktop = false;
    const MailOutbox::Result earlier = service.openDraft(message);
    ASSERT_TRUE(earlier.ok());
    const auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray kept = bytes(earlier.draftPath);
    MailOutbox::Result r;
    {
        const FileSizeLimit full(64);
        r = service.openDraft(message);
    }
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.error.contains(QStringLiteral("cannot be written"))) << r.error.toStdString();
    EXPECT_TRUE(r.draftPath.isEmpty());
    EXPECT_EQ(QDir(service.draftsFolder).entryList(QDir::Files | QDir::Hidden).join(QLatin1Char('|')).toStdString(),
              QFileInfo(earlier.draftPath).fileName().toStdString());
    EXPECT_EQ(bytes(earlier.draftPath), kept);
}

TEST_F(MailLayer, SentMessageArrivesWithRecipientsSubjectBodyAndAttachments) {
    SmtpSink sink;
    ASSERT_TRUE(sink.running()) << sink.problem().toStdString();
    config.url = sink.url();
    const MailOutbox::Result r = service.send(message);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    const auto got = sink.messages();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].from, QStringLiteral("reports@example.org"));
    EXPECT_EQ(got[0].recipients, message.to);
    const ParsedMail parsed = ParsedMail::parse(got[0].data);
    expectSameMessage(parsed, message);
    EXPECT_TRUE(parsed.unsent.isEmpty());
    // The body's bytes are those of the charset it names.
    EXPECT_TRUE(got[0].data.contains("text/plain; charset=utf-8")) << got[0].data.toStdString();
    EXPECT_TRUE(got[0].data.contains("caf=C3=A9") || got[0].data.contains(QByteArray("caf\xC3\xA9")))
        << got[0].data.toStdString();
}

TEST_F(MailLayer, AuthenticationUsesTheConfiguredUserAndPassword) {
    SmtpSink sink({.user = QStringLiteral("mailer"), .password = QStringLiteral("s3cr%t pass")});
    ASSERT_TRUE(sink.running()) << sink.problem().toStdString();
    config.url = sink.url();
    config.user = QStringLiteral("mailer");
    config.password = QStringLiteral("wrong");
    EXPECT_FALSE(service.send(message).ok());
    EXPECT_TRUE(sink.messages().empty());
    config.password = QStringLiteral("s3cr%t pass");
    const MailOutbox::Result r = service.send(message);
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(sink.messages().size(), 1u);
}

TEST_F(MailLayer, RefusedRecipientIsAFailureAndNothingIsDelivered) {
    SmtpSink sink({.refuse = {QStringLiteral("bob@example.com")}});
    ASSERT_TRUE(sink.running()) << sink.problem().toStdString();
    config.url = sink.url();
    const MailOutbox::Result r = service.send(message);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.error.contains(QStringLiteral("550"))) << r.error.toStdString();
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(MailLayer, ServerThatStopsAnsweringOrIsMissingIsAFailure) {
    QTcpServer silent;  // takes the connection, never greets
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    config.url = QStringLiteral("smtp://127.0.0.1:%1").arg(silent.serverPort());
    config.timeoutSec = 2;
    EXPECT_FALSE(service.send(message).ok());
    const quint16 port = silent.serverPort();
    silent.close();
    config.url = QStringLiteral("smtp://127.0.0.1:%1").arg(port);
    EXPECT_FALSE(service.send(message).ok());
    config.url.clear();
    const MailOutbox::Result none = service.send(message);
    EXPECT_TRUE(none.error.contains(QStringLiteral("Mail server")));
}

// A server that takes the message's text and then never answers: the send
// fails within the configured bound (a bound of 120 s would outlast the
// test's own limit).
TEST_F(MailLayer, ServerThatStopsAnsweringAfterTheMessageIsAFailure) {
    SmtpSink sink({.stall = true});
    ASSERT_TRUE(sink.running()) << sink.problem().toStdString();
    config.url = sink.url();
    config.timeoutSec = 2;
    const MailOutbox::Result first = service.send(message), second = service.send(message);
    EXPECT_FALSE(first.ok());
    EXPECT_FALSE(second.ok());
    EXPECT_TRUE(first.error.contains(QStringLiteral("did not take the message"))) << first.error.toStdString();
    EXPECT_TRUE(sink.messages().empty());
}

// A large report over a slow uplink takes longer than the bound, but never
// stops moving: it is sent whole, unless the user cancels it. The line moves
// every 50 ms and the server answers at once: the bound is a hundred times
// the one and many times the other, and the line stays slow for longer than it.
TEST_F(MailLayer, ASlowLineThatKeepsMovingDeliversTheWholeMessageUnlessCancelled) {
    SmtpSink sink({.slowSeconds = 8});
    ASSERT_TRUE(sink.running()) << sink.problem().toStdString();
    config.url = sink.url();
    config.timeoutSec = 5;
    QByteArray big;
    for (int i = 0; big.size() < 12 * 1024 * 1024; ++i) big += "LINE " + QByteArray::number(i) + " OF A LARGE REPORT\r\n";
    message.attachments = {{writeFile(files, QStringLiteral("large.txt"), big), {}}};
    // The windows keep answering while it goes.
    int calls = 0;
    service.whileSending = [&] {
        ++calls;
        return true;
    };
    QElapsedTimer took;
    took.start();
    const MailOutbox::Result r = service.send(message);
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_GT(took.elapsed(), config.timeoutSec * 1000) << "the send took longer than the bound";
    EXPECT_GT(calls, 4);
    const auto got = sink.messages();
    ASSERT_EQ(got.size(), 1u);
    const ParsedMail parsed = ParsedMail::parse(got[0].data);
    ASSERT_EQ(parsed.attachments.size(), 1u);
    EXPECT_EQ(parsed.attachments[0].content, big);

    // Cancel while it goes: nothing is delivered, and the failure says why.
    int polls = 0;
    service.whileSending = [&] { return ++polls < 3; };
    const MailOutbox::Result stopped = service.send(message);
    EXPECT_FALSE(stopped.ok());
    EXPECT_TRUE(stopped.error.contains(QStringLiteral("cancelled"))) << stopped.error.toStdString();
    EXPECT_EQ(polls, 3);
    EXPECT_EQ(sink.messages().size(), 1u);
}

TEST_F(MailLayer, PlainServerIsRefusedWhenTlsIsRequired) {
    SmtpSink sink;
    ASSERT_TRUE(sink.running()) << sink.problem().toStdString();
    config.url = sink.url();
    config.requireTls = true;
    EXPECT_FALSE(service.send(message).ok());
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(MailLayer, AnAddressThatIsNoAddressIsRefusedBeforeAnythingIsSent) {
    message.to << QStringLiteral("two words@");
    const MailOutbox::Result r = service.openDraft(message);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(QDir(service.draftsFolder).exists() && !QDir(service.draftsFolder).isEmpty());
}

// A recipient written with its name ("Ann Smith <ann@example.org>", as a
// report's own mailing line may hold it) is mailed at its address; the name
// stays in the header.
TEST_F(MailLayer, ARecipientWrittenWithItsNameIsMailedAtItsAddress) {
    SmtpSink sink;
    ASSERT_TRUE(sink.running()) << sink.problem().toStdString();
    config.url = sink.url();
    message.to = {QStringLiteral("Ann Smith <ann@example.org>"), QStringLiteral("bob@example.com")};
    message.cc = {QStringLiteral("\"Sales, North\" <north@example.org>")};
    const MailOutbox::Result r = service.send(message);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    const auto got = sink.messages();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].recipients, QStringList({"ann@example.org", "bob@example.com", "north@example.org"}));
    EXPECT_TRUE(got[0].data.contains("To: Ann Smith <ann@example.org>, bob@example.com")) << got[0].data.toStdString();
}
