// The FTP server's options of hostsim's command line.
#include <gtest/gtest.h>

#include "FtpCommandLine.h"

TEST(FtpCommandLine, KnobsAndUsersAreRead) {
    struct Case {
        QStringList args;
        bool ok;
        bool restoreFails, silent;
        size_t users;
    };
    const std::vector<Case> cases = {
        {{"--ftp"}, true, false, false, 0},
        {{"--ftp", "--ftp-restore-fails", "--ftp-silent"}, true, true, true, 0},
        {{"--ftp-user", "QSECOFR:SECRET", "--ftp-user", "QPGMR:"}, true, false, false, 2},
        {{"--ftp-user", "NOPASSWORD"}, false, false, false, 0},
        {{"--ftp-user", ":SECRET"}, false, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        QCommandLineParser parser;
        FtpCommandLine line;
        line.addOptions(parser);
        ASSERT_TRUE(parser.parse(QStringList{"hostsim"} + c.args));
        FtpOptions o;
        QString error;
        EXPECT_EQ(line.read(parser, o, &error), c.ok) << error.toStdString();
        if (!c.ok) {
            EXPECT_TRUE(error.contains("--ftp-user"));
            continue;
        }
        EXPECT_EQ(o.restoreFails, c.restoreFails);
        EXPECT_EQ(o.silent, c.silent);
        EXPECT_EQ(o.users.size(), c.users);
    }
}
