// The report as the body of a Netscape message: HTML paragraphs, or plain
// lines for the 4.6 program, which takes no HTML.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "EmailBody.h"
#include "ScreenOptions.h"
#include "ScriptedHostSocket.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"

TEST(ProcEmail, NetscapeBodyIsHtmlOrPlainLinesFor46) {
    struct Case {
        const char* version;
        QStringList lines;  // the body file the program is started with
    };
    const Case cases[] = {
        {"4.6", {"FIRST & <b>", " ", "SECOND"}},
        {"4.8",
         {"<HTML>", "<HEAD>", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">",
          "<META NAME=\"Generator\" CONTENT=\"Microsoft Word\">", "</HEAD>", "<BODY>", "",
          "<FONT FACE=\"Courier New\" SIZE=2><P>&nbsp;</P>", "<P>FIRST &amp; &lt;b&gt;</P>", "<P> </P>", "<P>SECOND</P>",
          "</FONT></BODY>", "</HTML>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        TestContext t;
        std::shared_ptr<ScriptedHost> host = UseScriptedHost(t.ctx);
        PlainSplfScreen& screen = TextFileScreen(t.ctx);
        t.ctx.connection.gWorkDir = t.dir.path() + QStringLiteral("/work");
        ASSERT_TRUE(QDir().mkpath(t.ctx.connection.gWorkDir));
        host->replies(SpoolReplies::report({{"001", ' ', "FIRST & <b>"}, {"   ", '2', "SECOND"}}, " 80"));
        EmailState& email = Email(t.ctx);
        t.ctx.targets.gNetscapeVersion = QString::fromLatin1(c.version);
        email.gMailProgram = QStringLiteral("netscape");
        ScreenProgress progress(screen);
        const DownloadOptions options = ReadScreenOptions(screen, t.ctx.download.gMinusSignApplicable);
        ASSERT_TRUE(ProcEmail(MailRun{t.ctx, options, progress}, SampleRow()));
        ASSERT_EQ(t.processes->started().size(), 1u);
        const auto& start = t.processes->started().front();
        EXPECT_EQ(start.program, QStringLiteral("netscape"));
        ASSERT_EQ(start.args.size(), 2);
        EXPECT_EQ(start.args[0], QStringLiteral("-compose"));
        QFile body(start.args[1]);
        ASSERT_TRUE(body.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromLatin1(body.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).join(QLatin1Char('|')),
                  c.lines.filter(QRegularExpression(QStringLiteral("."))).join(QLatin1Char('|')));
    }
}
