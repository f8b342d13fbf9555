#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "FileMachineRegistry.h"
#include "LocalDde.h"
#include "OfficeAutomation.h"
#include "OfficeFiles.h"
#include "ProcessStarter.h"
#include "RegistryAccess.h"
#include "TestSupport.h"

namespace {
std::shared_ptr<DdeConversation> initiateWithin(int attempts) {
    for (int i = 0; i < attempts; ++i) {
        if (auto c = LocalDde::initiate(QStringLiteral("Winword"), QStringLiteral("System"))) return c;
        QThread::msleep(100);
    }
    return nullptr;
}

int errorOf(DdeConversation& c, const QString& command) {
    try {
        c.execute(command);
    } catch (const AutomationError& e) {
        return e.number;
    }
    return 0;
}
}  // namespace

TEST(LocalDde, TheStandInProgramAnswersOnlyOnceStartedAndShowsTheDocumentWhenTheLinkEnds) {
    ensureApplication();
    PrivateRuntimeDir runtime;
    QTemporaryDir work;
    EXPECT_EQ(LocalDde::initiate(QStringLiteral("Winword"), QStringLiteral("System")), nullptr);

    RecordingOpener opener;
    QProcess word;
    word.start(QStringLiteral(SW_BINARY_DIR "/swoffice"),
               {QStringLiteral("--opener"), opener.program(), QStringLiteral("--documents"), work.filePath(QStringLiteral("shown")),
                QStringLiteral("--idle-exit"), QStringLiteral("60")});
    ASSERT_TRUE(word.waitForStarted(10000));
    auto link = initiateWithin(100);
    ASSERT_NE(link, nullptr);

    const QString report = work.filePath(QStringLiteral("SPW 0001.txt"));
    WriteMarkedReport(report, {{"page one"}, {"page two"}, {"page three"}});
    EXPECT_EQ(errorOf(*link, WordBasic::fileOpen(work.filePath(QStringLiteral("macros.dot")))), OfficeMacros::kUnavailable);
    EXPECT_EQ(errorOf(*link, WordBasic::fileOpen(report)), 0);
    EXPECT_EQ(errorOf(*link, WordBasic::toolsMacroRun(QStringLiteral("Macro1"))), OfficeMacros::kUnavailable);
    EXPECT_EQ(errorOf(*link, QStringLiteral("[FileClose]")), 285);
    link.reset();  // the delivery sets the link mode to none

    const QString shown = work.filePath(QStringLiteral("shown/SPW 0001.odt"));
    EXPECT_EQ(opener.shown(10000), QStringList({shown}));
    const QJsonObject facts = OdtFacts(shown);
    EXPECT_EQ(facts.value(QStringLiteral("lines")).toArray().size(), 3);
    EXPECT_EQ(facts.value(QStringLiteral("pageBreaks")).toArray().size(), 2);
    word.kill();
    word.waitForFinished(10000);
}

TEST(LocalDde, AFolderOthersMayEnterIsNotUsed) {
    PrivateRuntimeDir runtime;
    const QString shared = runtime.dir.filePath(QStringLiteral("tolvane-dde"));
    ASSERT_TRUE(QDir().mkpath(shared));
    QFile::setPermissions(shared, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadOther | QFileDevice::ExeOther);
    EXPECT_TRUE(LocalDde::folder().isEmpty());
    EXPECT_EQ(LocalDde::initiate(QStringLiteral("Winword"), QStringLiteral("System")), nullptr);
    LocalDdeServer server(QStringLiteral("Winword"), QStringLiteral("System"), [] { return LocalDdeServer::Conversation{}; });
    EXPECT_FALSE(server.listen());
}

TEST(OfficeRegistry, TheBuildsMachineRegistryFindsTheStandIns) {
    FileMachineRegistry registry(FileMachineRegistry::defaultPath(QStringLiteral(SW_BINARY_DIR)));
    qint32 n = 0;
    EXPECT_EQ(ReadMachineRegistryValue(registry, QStringLiteral("SOFTWARE\\Classes\\Excel.Application\\CurVer"), n).right(2),
              QStringLiteral("16"));
    EXPECT_EQ(ReadMachineRegistryValue(registry, QStringLiteral("SOFTWARE\\Classes\\Word.Application\\CurVer"), n).right(2),
              QStringLiteral("16"));
    EXPECT_EQ(ReadMachineRegistryValue(registry, QStringLiteral("SOFTWARE\\Classes\\Lotus123.Workbook\\CurVer"), n).right(2),
              QStringLiteral("98"));
    EXPECT_EQ(ReadMachineRegistryValue(registry, QStringLiteral("SOFTWARE\\Classes\\WordPro.Application"), n),
              QStringLiteral("WordPro.Application"));
    // Word 6's open command without its last three characters starts the stand-in program.
    const QString command =
        ReadMachineRegistryValue(registry, QStringLiteral("SOFTWARE\\Classes\\Word.Document.6\\Shell\\open\\command"), n);
    ASSERT_GT(n, 4);
    const QStringList parts = ProcessStarter::splitCommandLine(command.left(n - 4));
    ASSERT_EQ(parts.size(), 1);
    EXPECT_TRUE(QFileInfo(parts.first()).isExecutable());
    EXPECT_TRUE(registry.problems().isEmpty()) << registry.problems().join(QLatin1Char('\n')).toStdString();
}
