#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "Clock.h"
#include "QProcessStarter.h"
#include "RecordingProcessStarter.h"
#include "TestSupport.h"

TEST(ProcessStarter, CommandLinesSplitAtQuotedBlanksWithoutAShell) {
    const std::pair<const char*, QStringList> cases[] = {
        {"\"C:\\Program Files\\Netscape\\netscape.exe\" -compose",
         {"C:\\Program Files\\Netscape\\netscape.exe", "-compose"}},
        {"/usr/bin/mailer -compose /tmp/report one.htm", {"/usr/bin/mailer", "-compose", "/tmp/report", "one.htm"}},
        {"  msimn.exe   /mailurl:test ", {"msimn.exe", "/mailurl:test"}},
        {"notes \"a;b\" $(rm -rf x) `id`", {"notes", "a;b", "$(rm", "-rf", "x)", "`id`"}},
        {"", {}},
    };
    for (const auto& [line, parts] : cases)
        EXPECT_EQ(ProcessStarter::splitCommandLine(QString::fromLatin1(line)), parts) << line;
}

TEST(QProcessStarter, RunPassesEachArgumentAsItIsAndGivesTheExitCode) {
    ensureApplication();
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("arg.txt"));
    VirtualClock clock;
    QProcessStarter starter([&] { return static_cast<Clock*>(&clock); });
    const QString tricky = QStringLiteral("a b;c $(id) 'q' \"d\"");
    EXPECT_EQ(starter.run(QStringLiteral("/bin/sh"),
                          {QStringLiteral("-c"), QStringLiteral("printf %s \"$1\" > \"$2\"; exit 3"), QStringLiteral("sh"),
                           tricky, out}),
              3);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), tricky);
    EXPECT_EQ(starter.run(dir.filePath(QStringLiteral("missing")), {}), -1);
}

TEST(QProcessStarter, ARunThatOutlivesItsLimitIsKilled) {
    ensureApplication();
    VirtualClock clock;
    QProcessStarter starter([&] { return static_cast<Clock*>(&clock); });
    EXPECT_EQ(starter.run(QStringLiteral("/bin/sleep"), {QStringLiteral("60")}, 2000), -1);
    EXPECT_GE(clock.waited(), 2000);
}

TEST(QProcessStarter, StartGivesATaskIdOrZero) {
    ensureApplication();
    QProcessStarter starter;
    EXPECT_GT(starter.startTask(QStringLiteral("/bin/true"), {}, ProcessStarter::NormalFocus), 0);
    EXPECT_EQ(starter.startTask(QStringLiteral("/no/such/program"), {}, ProcessStarter::NormalFocus), 0);
    EXPECT_FALSE(starter.start(QString(), {}));
}

TEST(RecordingProcessStarter, RecordsStartsAndFailsForMissingPaths) {
    QTemporaryDir dir;
    const QString exe = dir.filePath(QStringLiteral("msinfo32"));
    QFile(exe).open(QIODevice::WriteOnly);
    RecordingProcessStarter starter;
    starter.unstartable = {QStringLiteral("notes")};
    starter.onRun = [](const QString&, const QStringList& args) { return args.size(); };

    const qint64 first = starter.startCommandLine(QStringLiteral("mailer -compose"), ProcessStarter::NormalFocus);
    EXPECT_GT(first, 0);
    EXPECT_GT(starter.startTask(exe, {}, ProcessStarter::MinimizedFocus), first);
    EXPECT_EQ(starter.startTask(dir.filePath(QStringLiteral("missing.exe")), {}, ProcessStarter::NormalFocus), 0);
    EXPECT_FALSE(starter.start(QStringLiteral("notes"), {}));
    EXPECT_EQ(starter.run(QStringLiteral("ftp"), {QStringLiteral("-s:u110149.dat"), QStringLiteral("host")}), 2);

    ASSERT_EQ(starter.started().size(), 5u);
    EXPECT_EQ(starter.started()[1].style, ProcessStarter::MinimizedFocus);
    EXPECT_FALSE(starter.started()[2].started);
    EXPECT_TRUE(starter.started()[4].run);
    EXPECT_EQ(starter.commandLines(), QStringList({"mailer -compose", exe, "ftp -s:u110149.dat host"}));
}
