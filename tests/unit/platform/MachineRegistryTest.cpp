#include <gtest/gtest.h>

#include "FileMachineRegistry.h"
#include "RegistryAccess.h"

namespace {
QString fixture() { return QStringLiteral(SW_TEST_DATA "/platform/machine.reg"); }
}  // namespace

TEST(FileMachineRegistry, AnswersFromItsFileWithoutRegardToCase) {
    FileMachineRegistry reg(fixture());
    EXPECT_EQ(reg.query(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Word.Application\\CurVer"), {}),
              QStringLiteral("Word.Application.11"));
    EXPECT_EQ(reg.query(QStringLiteral("hklm\\software\\clients\\mail\\MICROSOFT OUTLOOK\\shell\\open\\command\\"), {}),
              QStringLiteral("\"/opt/outlook/bin/outlook\" /mail"));
    EXPECT_TRUE(reg.keyExists(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Clients\\Mail")));
    EXPECT_FALSE(reg.keyExists(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Clients\\Mai")));
    EXPECT_FALSE(reg.query(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Missing"), {}).has_value());

    const QString tools = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
    EXPECT_EQ(reg.lookup(tools, QStringLiteral("count"))->number, 42u);
    EXPECT_EQ(reg.lookup(tools, QStringLiteral("Templates"))->type, RegistryValue::ExpandString);
    EXPECT_EQ(reg.lookup(tools, QStringLiteral("Blob"))->data, QByteArray("\x01\x02\xff", 3));
    // Only a string value has a text.
    EXPECT_FALSE(reg.query(tools, QStringLiteral("Count")).has_value());

    const QStringList problems = reg.problems();
    ASSERT_EQ(problems.size(), 3) << problems.join('\n').toStdString();
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("line 22:")));
    EXPECT_FALSE(reg.lookup(QStringLiteral("HKLM\\SOFTWARE\\Test\\Broken"), QStringLiteral("Number")).has_value());
}

TEST(FileMachineRegistry, NothingIsFoundWhenTheFileIsAbsent) {
    FileMachineRegistry reg(QStringLiteral(SW_TEST_DATA "/platform/no-such-file.reg"));
    EXPECT_FALSE(reg.query(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Word.Application\\CurVer"), {}));
    EXPECT_FALSE(reg.keyExists(QStringLiteral("HKEY_LOCAL_MACHINE")));
    EXPECT_TRUE(reg.problems().isEmpty());
    qint32 length = 7;
    EXPECT_EQ(ReadMachineRegistryValue(reg, QStringLiteral("SOFTWARE\\Classes\\Word.Application\\CurVer"), length),
              QString());
    EXPECT_EQ(length, 0);
}

TEST(RegistryAccess, ReadMachineRegistryValueGivesTheTextAndItsSizeWithTheTerminator) {
    FileMachineRegistry reg(fixture());
    struct Case {
        const char* subKey;
        const char* text;
        qint32 length;
    };
    const Case cases[] = {
        {"SOFTWARE\\Classes\\Word.Application\\CurVer", "Word.Application.11", 20},
        {"SOFTWARE\\Classes\\Missing\\CurVer", "", 0},
        {"SOFTWARE\\Test\\Lengths",
         "123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789", 100},
        {"SOFTWARE\\Test\\Lengths\\Hundred", "", 0},           // 100 characters do not fit the buffer
        {"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "", 0},  // key without a default value
    };
    for (const Case& c : cases) {
        qint32 length = -1;
        EXPECT_EQ(ReadMachineRegistryValue(reg, QString::fromLatin1(c.subKey), length), QString::fromLatin1(c.text))
            << c.subKey;
        EXPECT_EQ(length, c.length) << c.subKey;
    }
    // The callers take the version from positions length - 2 and length - 1.
    qint32 n = 0;
    const QString curVer = ReadMachineRegistryValue(reg, QStringLiteral("SOFTWARE\\Classes\\Word.Application\\CurVer"), n);
    EXPECT_EQ(curVer.mid(n - 3, 2), QStringLiteral("11"));
}

TEST(RegistryAccess, StringsAndNumbersAreReadAndOtherTypesLeaveTheResultAlone) {
    FileMachineRegistry reg(fixture());
    const QString tools = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
    struct Case {
        qint32 root;
        QString subKey, name;
        bool found;
        QString result;
    };
    const QString before = QStringLiteral("unchanged");
    const Case cases[] = {
        {kHkeyLocalMachine, tools, QStringLiteral("PATH"), true,
         QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe")},
        {kHkeyLocalMachine, tools, QStringLiteral("Count"), true, QStringLiteral("42")},
        {kHkeyLocalMachine, tools, QStringLiteral("Templates"), true, before},
        {kHkeyLocalMachine, tools, QStringLiteral("Blob"), true, before},
        {kHkeyLocalMachine, tools, QStringLiteral("Missing"), false, QString()},
        {kHkeyLocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("MSINFO"), false,
         QString()},
        {kHkeyCurrentUser, tools, QStringLiteral("PATH"), false, QString()},
        {12345, tools, QStringLiteral("PATH"), false, QString()},
    };
    for (const Case& c : cases) {
        QString result = before;
        EXPECT_EQ(ReadRegistryValue(reg, c.root, c.subKey, c.name, result), c.found) << c.name.toStdString();
        EXPECT_EQ(result, c.result) << c.name.toStdString();
    }
}

TEST(RegistryAccess, ReadRegistryValueRefusesDataLargerThanItsBuffer) {
    MemoryMachineRegistry reg;
    const QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Big");
    reg.setString(key, QStringLiteral("Fits"), QString(1023, QLatin1Char('a')));
    reg.setString(key, QStringLiteral("TooLong"), QString(1024, QLatin1Char('a')));
    QString result = QStringLiteral("x");
    EXPECT_TRUE(ReadRegistryValue(reg, kHkeyLocalMachine, QStringLiteral("SOFTWARE\\Big"), QStringLiteral("Fits"), result));
    EXPECT_EQ(result.size(), 1023);
    EXPECT_FALSE(ReadRegistryValue(reg, kHkeyLocalMachine, QStringLiteral("SOFTWARE\\Big"), QStringLiteral("TooLong"), result));
    EXPECT_EQ(result, QString());
}
