#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "OfficeDelivery.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"
#include "frmMacro.h"

namespace {
struct DialogCase {
    const char* name;
    std::function<MacroDialog&(AppContext&)> open;
    const char* caption;
    const char* fileLabel;
    const char* fileSetting;
    const char* nameSetting;
    const char* notFound;
};

const DialogCase kDialogs[] = {
    {"frmExcel", [](AppContext& c) -> MacroDialog& { return ExcelMacroWindow(c); }, "Load and Run Excel Macro...",
     "Macro spreadsheet name:", "Excel macro sheet", "Excel macro name", "Macro workbook by that name not found..."},
    {"frmWord", [](AppContext& c) -> MacroDialog& { return WordMacroWindow(c); }, "Load a Word macro...",
     "Macro document name:", "Word macro document", "Word macro name",
     "Macro template file by that name not found.  Please specify the full path and file name."},
};
}  // namespace

class MacroDialogs : public ::testing::TestWithParam<DialogCase> {};

TEST_P(MacroDialogs, RememberedValuesAreShownAndAMissingFileKeepsTheDialogOpen) {
    const DialogCase& c = GetParam();
    ensureApplication();
    TestContext t;
    const QString book = t.dir.filePath(QStringLiteral("monthly macros.xlsm"));
    WriteFileBytes(book, "macros");
    t.ctx.services.saveSetting(QString::fromLatin1(c.fileSetting), book);
    t.ctx.services.saveSetting(QString::fromLatin1(c.nameSetting), QStringLiteral("FormatReport"));
    MacroDialog& dlg = c.open(t.ctx);
    EXPECT_EQ(dlg.windowTitle(), QString::fromLatin1(c.caption));
    EXPECT_EQ(dlg.Label1->text(), QString::fromLatin1(c.fileLabel));
    EXPECT_EQ(dlg.Label2->text(), QStringLiteral("Macro name:"));
    EXPECT_EQ(dlg.txtMacroFileBox->text(), book);
    EXPECT_EQ(dlg.txtMacroName->text(), QStringLiteral("FormatReport"));
    EXPECT_EQ(dlg.cmdOK->text(), QStringLiteral("Open"));
    EXPECT_FALSE(saveScreenshot(dlg, QString::fromLatin1(c.name) + QStringLiteral(".png")).isNull());

    // A path that is not there: told, and the dialog stays for a correction.
    dlg.show();
    dlg.txtMacroFileBox->setText(t.dir.filePath(QStringLiteral("gone.xlsm")));
    t.boxes->expect(QString::fromLatin1(c.notFound));
    dlg.cmdOK_Click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(t.boxes->done());
    // The file is there: accepted without a word. Cancel empties the file name.
    dlg.txtMacroFileBox->setText(book);
    dlg.cmdOK_Click();
    EXPECT_FALSE(dlg.isVisible());
    dlg.show();
    dlg.cmdCancel_Click();
    EXPECT_TRUE(dlg.txtMacroFileBox->text().isEmpty());
    EXPECT_FALSE(dlg.isVisible());
    // The main window's unload reads the fields back.
    const std::optional<MacroFields> fields = LoadedMacroFields(
        t.ctx, c.name == std::string("frmExcel") ? MacroProgram::Excel : MacroProgram::Word);
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->name, QStringLiteral("FormatReport"));
}

INSTANTIATE_TEST_SUITE_P(Office, MacroDialogs, ::testing::ValuesIn(kDialogs),
                         [](const auto& info) { return std::string(info.param.name); });
