#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "PcFileName.h"
#include "ReportFile.h"
#include "CoreTestSupport.h"
#include "TransferTestSupport.h"
#include "WorkDirectory.h"

namespace {
class FolderPaths : public Paths {
public:
    explicit FolderPaths(QString temp) : temp_(std::move(temp)) {}
    QString appPath() override { return temp_; }
    QString tempPath() override { return temp_ + QLatin1Char('/'); }
    QString configPath() override { return temp_; }
    QString systemPath() override { return temp_; }

private:
    QString temp_;
};

class PcFileNameTest : public ::testing::Test {
protected:
    CoreTestContext t;
    QString dir = t.dir.path() + QLatin1Char('/');
    QString saved = QDir::currentPath();
    void SetUp() override { QDir::setCurrent(t.dir.path()); }
    void TearDown() override { QDir::setCurrent(saved); }
    void touch(const QString& name) { WriteFileBytes(t.dir.path() + QLatin1Char('/') + name, ""); }
    void set(const char* key, const char* value) { t.ctx.services.saveSetting(QString::fromLatin1(key), QString::fromLatin1(value)); }
    QString name(QString directory, bool attributes = true, const SpoolFileRow& row = SampleRow()) {
        return BuildPcFileName(t.ctx, directory, row, attributes);
    }
    static constexpr const char* kLong = "QSYSPRT QPADEV0001 JSMITH 004711 0003 2024-01-31 14-05-09";
};
}  // namespace

TEST_F(PcFileNameTest, ShortNumberedNames) {
    EXPECT_EQ(name(QString()), QStringLiteral("Spwrt.txt"));
    touch(QStringLiteral("Spwrt.txt"));
    touch(QStringLiteral("Spwrt001.txt"));
    EXPECT_EQ(name(QString()), QStringLiteral("Spwrt002.txt"));
    EXPECT_EQ(name(QStringLiteral("   ")), QStringLiteral("Spwrt002.txt"));

    QString directory = t.dir.path();
    QString extension;
    EXPECT_EQ(BuildPcFileName(t.ctx, directory, SampleRow(), true, extension), dir + QStringLiteral("Spwrt002.txt"));
    EXPECT_EQ(directory, dir);
    EXPECT_EQ(extension, QStringLiteral("txt"));
    EXPECT_EQ(BuildPcFileName(t.ctx, dir, SampleRow(), true, QStringLiteral("pdf")), dir + QStringLiteral("Spwrt.pdf"));
}

TEST_F(PcFileNameTest, AttributeNamesOnlyWhenAskedForAndAllowed) {
    EXPECT_EQ(name(dir), dir + QStringLiteral("Spwrt.txt"));  // "FullName" not set
    set("FullName", "0");
    EXPECT_EQ(name(dir), dir + QStringLiteral("Spwrt.txt"));
    set("FullName", "1");
    EXPECT_EQ(name(dir, false), dir + QStringLiteral("Spwrt.txt"));
    EXPECT_EQ(name(dir), dir + QString::fromLatin1(kLong) + QStringLiteral(".txt"));
    touch(QString::fromLatin1(kLong) + QStringLiteral(".txt"));
    EXPECT_EQ(name(dir), dir + QString::fromLatin1(kLong) + QStringLiteral(" 001.txt"));
    EXPECT_EQ(name(QString()), QString::fromLatin1(kLong) + QStringLiteral("001.txt"));
}

TEST_F(PcFileNameTest, SettingsCountOnlyAsTheyAreWritten) {
    // "FullName" must be "1" and a Use setting "True", exactly.
    for (const char* fullName : {" 1", "01", "True"}) {
        set("FullName", fullName);
        EXPECT_EQ(name(dir), dir + QStringLiteral("Spwrt.txt")) << fullName;
    }
    set("FullName", "1");
    set("Use job name", "true");
    set("Use user name", "TRUE ");
    EXPECT_EQ(name(dir), dir + QString::fromLatin1(kLong) + QStringLiteral(".txt"));
}

TEST_F(PcFileNameTest, TheCounterGoesOnPastThreeDigits) {
    touch(QStringLiteral("Spwrt.txt"));
    for (int i = 1; i <= 999; ++i) touch(QStringLiteral("Spwrt%1.txt").arg(i, 3, 10, QLatin1Char('0')));
    EXPECT_EQ(name(dir), dir + QStringLiteral("Spwrt1000.txt"));
}

TEST_F(PcFileNameTest, TheChosenAttributeComesFirst) {
    set("FullName", "1");
    const struct {
        std::vector<const char*> on;
        const char* userData;
        QString expected;
    } cases[] = {
        {{"Use job name"}, "MONTHLY", QStringLiteral("QPADEV0001 QSYSPRT JSMITH 004711 0003 2024-01-31 14-05-09")},
        {{"Use job number"}, "MONTHLY", QStringLiteral("004711 QSYSPRT QPADEV0001 JSMITH 0003 2024-01-31 14-05-09")},
        {{"Use date and time"}, "MONTHLY", QStringLiteral("2024-01-31 14-05-09 JSMITH QSYSPRT QPADEV0001 004711 0003")},
        {{"Use user data"}, "MONTHLY", QStringLiteral("MONTHLY QPADEV0001 QSYSPRT JSMITH 004711 0003 2024-01-31 14-05-09")},
        {{"Use user data"}, "", QStringLiteral("QPADEV0001 QSYSPRT JSMITH 004711 0003 2024-01-31 14-05-09")},
        {{"Use job name", "Use user name"}, "MONTHLY", QStringLiteral("JSMITH QSYSPRT QPADEV0001 004711 0003 2024-01-31 14-05-09")},
    };
    for (const auto& c : cases) {
        for (const char* key : {"Use job name", "Use job number", "Use user name", "Use date and time", "Use user data"})
            set(key, "False");
        for (const char* key : c.on) set(key, "True");
        SpoolFileRow::Fields f = SampleRowFields();
        f.userData = c.userData;
        EXPECT_EQ(AttributeName(t.ctx, SpoolFileRow::fromFields(f)), c.expected) << c.on.back();
    }
}

TEST_F(PcFileNameTest, JobNamesAreCutAtTheirSlash) {
    set("FullName", "1");
    SpoolFileRow::Fields f;
    f.file = "QSYSPRT";
    f.job = "ABCDEFGHIJ/0001";
    EXPECT_TRUE(AttributeName(t.ctx, SpoolFileRow::fromFields(f)).startsWith(QStringLiteral("QSYSPRT ABCDEFGHIJ   0001")));
    f.job = "QPRT/0001";
    EXPECT_TRUE(AttributeName(t.ctx, SpoolFileRow::fromFields(f)).startsWith(QStringLiteral("QSYSPRT QPRT   0001")));
}

TEST_F(PcFileNameTest, TheBatchNameGoesFirst) {
    t.ctx.download.gBatchFileName = QStringLiteral(" MONTHLY ");
    set("FullName", "1");
    EXPECT_EQ(name(QString()), QStringLiteral("MONTHLY ") + QString::fromLatin1(kLong) + QStringLiteral(".txt"));
    set("FullName", "0");
    EXPECT_EQ(name(QString()), QStringLiteral("MONTHLY.txt"));
    touch(QStringLiteral("MONTHLY.txt"));
    EXPECT_EQ(name(QString()), QStringLiteral("MONTHLY001.txt"));
    EXPECT_EQ(name(dir), dir + QStringLiteral("Spwrt.txt"));
}

TEST_F(PcFileNameTest, HostSuppliedPartsStayInsideTheFolder) {
    set("FullName", "1");
    SpoolFileRow::Fields f = SampleRowFields();
    f.file = "..";
    f.user = "a\\b:c";
    f.jobNumber = "00*?11";
    f.job = "../../x/0001";
    f.userData = "/etc/pass";
    set("Use user data", "True");
    const QString n = name(dir, true, SpoolFileRow::fromFields(f));
    EXPECT_EQ(QFileInfo(n).absolutePath(), QFileInfo(t.dir.path()).absoluteFilePath());
    EXPECT_EQ(n.toStdString(), (dir + QStringLiteral("_etc_pass __ __ a_b_c 00__11 .._x 2024-01-31 14-05-09.txt")).toStdString());
    EXPECT_NO_THROW(ReportFile::check(t.ctx, n, false));
}

TEST_F(PcFileNameTest, ControlCharactersInHostPartsBecomeUnderscoresAndTheCodePagesOwnStay) {
    set("FullName", "1");
    SpoolFileRow::Fields f = SampleRowFields();
    f.userData = "a\x1b" "b\x7f" "c\t\x80";
    set("Use user data", "True");
    const QString n = name(dir, true, SpoolFileRow::fromFields(f));
    EXPECT_TRUE(QFileInfo(n).fileName().startsWith(QString::fromUtf8("a_b_c_\u20ac "))) << n.toStdString();
}

TEST_F(PcFileNameTest, AFreeVariantOfATakenName) {
    touch(QStringLiteral("report.txt"));
    EXPECT_EQ(NextFreeName(dir + QStringLiteral("report.txt"), {}), dir + QStringLiteral("report001.txt"));
    QSet<QString> taken{QFileInfo(dir + QStringLiteral("a b 001.txt")).absoluteFilePath()};
    EXPECT_EQ(NextFreeName(dir + QStringLiteral("a b.txt"), taken), dir + QStringLiteral("a b 002.txt"));
}

TEST(WorkDirectory, BuiltFromSavePathAndUserPrivately) {
    CoreTestContext t;
    t.ctx.services.paths = std::make_unique<FolderPaths>(t.dir.path());
    ApplyWorkDirectoryRule(t.ctx.services, t.ctx.connection);
    EXPECT_EQ(t.setting(QStringLiteral("Save Path")), t.dir.path() + QLatin1Char('/'));
    EXPECT_EQ(t.ctx.connection.gWorkDir, t.dir.path() + QStringLiteral("/Default"));
    // Nothing for the group or for others.
    const auto perms = QFileInfo(t.ctx.connection.gWorkDir).permissions();
    EXPECT_TRUE(perms & QFileDevice::WriteOwner);
    EXPECT_EQ(perms & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                       QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther),
              QFileDevice::Permissions());

    t.ctx.services.saveSetting(QStringLiteral("Save Path"), t.dir.path());
    t.ctx.services.saveSetting(QStringLiteral("User"), QStringLiteral("../JSMITH"));
    ApplyWorkDirectoryRule(t.ctx.services, t.ctx.connection);
    EXPECT_EQ(t.ctx.connection.gWorkDir, t.dir.path() + QStringLiteral("/.._JSMITH"));
    EXPECT_TRUE(QFileInfo(t.ctx.connection.gWorkDir).isDir());

    // A folder left open to others by an earlier run is closed again.
    QFile::setPermissions(t.ctx.connection.gWorkDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                              QFileDevice::ReadOther | QFileDevice::ExeOther);
    ApplyWorkDirectoryRule(t.ctx.services, t.ctx.connection);
    EXPECT_FALSE(QFileInfo(t.ctx.connection.gWorkDir).permissions() & (QFileDevice::ReadOther | QFileDevice::ExeOther));
}

TEST(WorkDirectory, TheWriterNotesOnlyTheFilesItCreates) {
    CoreTestContext t;
    const QString mine = t.dir.path() + QStringLiteral("/Spwrt.txt");
    const QString users = t.dir.path() + QStringLiteral("/notes.txt");
    WriteFileBytes(users, "keep");
    ReportFile f;
    f.open(t.ctx, mine, false);
    f.commit();
    ReportFile g;
    g.open(t.ctx, users, true);  // appended to, not created
    g.commit();
    EXPECT_TRUE(t.ctx.connection.createdFiles().contains(mine));
    EXPECT_FALSE(t.ctx.connection.createdFiles().contains(users));
}
