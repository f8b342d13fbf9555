#include <gtest/gtest.h>

#include "BatchNaming.h"
#include "CoreTestSupport.h"
#include "TransferTestSupport.h"

// The names an unattended run writes its reports to, with no save dialog.
namespace {
constexpr const char* kLong = "QSYSPRT QPADEV0001 JSMITH 004711 0003 2024-01-31 14-05-09";

struct BatchNaming : ::testing::Test {
    CoreTestContext t;
    RunSettings settings;
    QString dir = t.dir.path() + QLatin1Char('/');
    void set(const char* key, const QString& value) { t.ctx.services.saveSetting(QString::fromLatin1(key), value); }
    QString name(SaveDialogKind kind) { return BatchFileName(t.ctx, settings, kind, SampleRow()); }
};
}  // namespace

TEST_F(BatchNaming, ASettingsFilesNameIsTheFirstReportsAndTheRuleNamesTheRest) {
    set("FullName", "1");
    set("Save Path", dir);
    settings.saveNames[RunSettings::TextSave] = {dir + "given.txt", true, false};
    EXPECT_EQ(name(SaveDialogKind::Text), dir + "given.txt");
    EXPECT_EQ(name(SaveDialogKind::Text), dir + QString::fromLatin1(kLong) + ".txt");
}

TEST_F(BatchNaming, EachKindByTheRememberedChoices) {
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, QString>> remembered;
        QString namingFolder;  // the naming options' folder a settings file gave
        SaveDialogKind kind;
        QString expected;
    };
    const QString other = dir + "other/";
    const Case cases[] = {
        {"text, the last file's name", {{"Text file", dir + "last.txt"}}, {}, SaveDialogKind::Text, dir + "last.txt"},
        {"html, the last file's name", {{"Html file", dir + "last.html"}}, {}, SaveDialogKind::Html, dir + "last.html"},
        {"xml, no name at all: the short one", {}, {}, SaveDialogKind::Xml, "Spwrt.xml"},
        {"text, numbered in Save Path", {{"Save Path", dir}}, {}, SaveDialogKind::Text, dir + "Spwrt.txt"},
        {"text, numbered in the naming options' folder", {{"Save Path", dir}}, other, SaveDialogKind::Text,
         other + "Spwrt.txt"},
        {"html, numbered in Save Path", {{"Save Path", dir}}, {}, SaveDialogKind::Html, dir + "Spwrt.html"},
        {"xml, long names in Save Path",
         {{"FullName", "1"}, {"Save Path", dir}}, {}, SaveDialogKind::Xml, dir + QString::fromLatin1(kLong) + ".xml"},
        {"text, long names in the naming options' folder",
         {{"FullName", "1"}, {"Save Path", dir}}, other, SaveDialogKind::Text,
         other + QString::fromLatin1(kLong) + ".txt"},
        {"html ignores the naming options' folder",
         {{"FullName", "1"}, {"Save Path", dir}}, other, SaveDialogKind::Html,
         dir + QString::fromLatin1(kLong) + ".html"},
        {"pdf, the last file's name", {{"PDF file", dir + "last.pdf"}}, {}, SaveDialogKind::Pdf, dir + "last.pdf"},
        {"pdf, numbered in Save Path", {{"Save Path", dir}}, {}, SaveDialogKind::Pdf, dir + "Spwrt.pdf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CoreTestContext fresh;
        t.ctx.services.settings.swap(fresh.ctx.services.settings);
        settings = RunSettings{};
        for (const auto& [k, v] : c.remembered) set(k, v);
        settings.options.naming.savePath = c.namingFolder;
        // A pdf takes the long-names choice as the naming options hold it.
        settings.options.naming.fullName = t.ctx.services.getSetting("FullName") == "1";
        EXPECT_EQ(name(c.kind), c.expected);
    }
}

TEST_F(BatchNaming, ATextFileTakesTheRememberedAddOrReplace) {
    for (const auto& [remembered, expected] :
         std::vector<std::pair<QString, DownloadOptions::AddReplace>>{{"True", DownloadOptions::AddReplace::Replace},
                                                                     {"False", DownloadOptions::AddReplace::Add},
                                                                     {"None", DownloadOptions::AddReplace::None}}) {
        SCOPED_TRACE(remembered.toStdString());
        settings = RunSettings{};
        set("Text file", dir + "last.txt");
        set("Add replace", remembered);
        name(SaveDialogKind::Text);
        EXPECT_EQ(settings.options.textFile, expected);
    }
    // A name a settings file gave keeps what the file chose.
    settings = RunSettings{};
    settings.saveNames[RunSettings::TextSave] = {dir + "given.txt", true, false};
    set("Add replace", "False");
    name(SaveDialogKind::Text);
    EXPECT_EQ(settings.options.textFile, DownloadOptions::AddReplace::None);
}
