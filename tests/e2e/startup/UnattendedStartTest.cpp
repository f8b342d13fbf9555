// The real Swdesk started with a command line: it must come to an end by
// itself, whatever it meets, and say why on standard error.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "TestSupport.h"

namespace {
TEST(UnattendedStart, AProblemBeforeTheBatchRunEndsTheProgramInsteadOfWaiting) {
    ensureApplication();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcess swdesk;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Settings of its own: no host address is known, "Auto connect" is seeded on.
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("XDG_CACHE_HOME", home.path() + "/cache");
    env.insert("TMPDIR", home.path());
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    // As under a service or su: no session runtime folder.
    env.remove("XDG_RUNTIME_DIR");
    swdesk.setProcessEnvironment(env);
    // A run with its destination, so that it goes as far as the connect.
    const QString sets = home.filePath(QStringLiteral("t.spw"));
    QFile f(sets);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Properties]\r\nID=Spwrter_10.0\r\nProcess=Text file\r\n");
    f.close();
    swdesk.start(QStringLiteral(SW_BINARY_DIR "/Swdesk"), {QStringLiteral("SETS:") + sets, QStringLiteral("FILE:QSYSPRT")});
    ASSERT_TRUE(swdesk.waitForStarted(10000));
    // A limit, not a measurement.
    const bool ended = swdesk.waitForFinished(60000);
    if (!ended) swdesk.kill();
    ASSERT_TRUE(ended) << "an unattended start waited for a person";
    const QString err = QString::fromLocal8Bit(swdesk.readAllStandardError());
    EXPECT_EQ(swdesk.exitStatus(), QProcess::NormalExit) << err.toStdString();
    EXPECT_EQ(swdesk.exitCode(), 3) << err.toStdString();
    EXPECT_TRUE(err.contains("No iSeries TCP/IP host name or IP address has been specified.")) << err.toStdString();
    EXPECT_FALSE(err.contains("XDG_RUNTIME_DIR")) << err.toStdString();
    EXPECT_FALSE(err.contains("runtime directory")) << err.toStdString();
}
}  // namespace
