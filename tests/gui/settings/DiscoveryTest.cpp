#include <gtest/gtest.h>

#include <QComboBox>

#include "FileMachineRegistry.h"
#include "TargetDiscovery.h"
#include "TestSupport.h"
#include "frmSplf.h"

namespace {
const QStringList kFixed = {"View a few pages", "View entire report", "PC printer", "Text file",
                            "HTML document",    "XML document",       "PDF document"};
using Keys = std::vector<std::pair<const char*, QString>>;

struct Found {
    QStringList list;
    AppContext* ctx;
};
}  // namespace

TEST(Discovery, FixedDestinationsThenWhatTheRegistryShows) {
    struct Case {
        const char* name;
        Keys keys;
        QStringList added;
        std::function<bool(AppContext&)> vars;
    };
    const QString mail = QStringLiteral("SOFTWARE\\Clients\\Mail\\");
    const QString classes = QStringLiteral("SOFTWARE\\Classes\\");
    const QString hundred(100, QLatin1Char('x'));
    const Case cases[] = {
        {"nothing", {}, {}, [](AppContext& c) {
             return c.targets.gNetscapeCommand.isEmpty() && c.targets.gExcelVersion.isEmpty() && c.targets.gWordVersion.isEmpty() &&
                    c.targets.gOutlookExpressCommand.isEmpty();
         }},
        {"Messenger before Communicator",
         {{"Netscape Messenger\\Protocols\\mailto\\shell\\open\\command", "C:\\ns\\netscape.exe \"%1\""},
          {"Netscape Communicator\\Protocols\\mailto\\shell\\open\\command", "C:\\nc\\netscape.exe -mail"}},
         {"Netscape e-mail"}, [](AppContext& c) { return c.targets.gNetscapeCommand == "C:\\ns\\netscape.exe"; }},
        {"Outlook Express without a dot",
         {{"Outlook Express\\shell\\open\\command", "\"abcdef"}}, {"Outlook Express e-mail"},
         [](AppContext& c) { return c.targets.gOutlookExpressCommand == "ab"; }},
        {"Outlook Express path",
         {{"Outlook Express\\shell\\open\\command", "\"C:\\oe\\msimn.exe\" /mailurl:%1"}}, {"Outlook Express e-mail"},
         [](AppContext& c) { return c.targets.gOutlookExpressCommand == "C:\\oe\\msimn.exe"; }},
        {"all mail programs in order",
         {{"Lotus Notes\\shell\\open\\command", "notes.exe"},
          {"Microsoft Outlook\\shell\\open\\command", "\"C:\\o\\outlook.exe\""},
          {"Outlook Express\\shell\\open\\command", "\"C:\\oe\\msimn.exe\""}},
         {"Outlook Express e-mail", "Outlook e-mail", "Lotus Notes"},
         [](AppContext& c) { return c.targets.gOutlookCommand == "C:\\o\\outlook.exe"; }},
        {"Word CurVer ending in a dot and digit", {{"@Word.Application\\CurVer", "Word.Application.8"}}, {},
         [](AppContext& c) { return c.targets.gWordVersion == ".8"; }},
        {"Excel 18 not offered", {{"@Excel.Application\\CurVer", "Excel.Application.18"}}, {},
         [](AppContext& c) { return c.targets.gExcelVersion.isEmpty(); }},
        {"Excel and Word 16",
         {{"@Excel.Application\\CurVer", "Excel.Application.16"}, {"@Word.Application\\CurVer", "Word.Application.16"}},
         {"Microsoft Excel", "Microsoft Word"},
         [](AppContext& c) { return c.targets.gExcelVersion == "16" && c.targets.gWordVersion == "16"; }},
        {"1-2-3 97 with another WordPro text",
         {{"@Lotus123.Workbook\\CurVer", "Lotus123.Workbook.97"}, {"@WordPro.Application", "WordPro.Document"}},
         {"Lotus 123"}, [](AppContext& c) { return c.targets.gLotus123Version == "97"; }},
        {"1-2-3 98 and WordPro",
         {{"@Lotus123.Workbook\\CurVer", "Lotus123.Workbook.98"}, {"@WordPro.Application", "WordPro.Application"}},
         {"Lotus 123", "Lotus WordPro"}, [](AppContext&) { return true; }},
        {"a value of 100 characters is missing", {{"Lotus Notes\\shell\\open\\command", hundred}}, {},
         [](AppContext&) { return true; }},
        {"a value of 99 characters is read", {{"Lotus Notes\\shell\\open\\command", hundred.left(99)}},
         {"Lotus Notes"}, [](AppContext&) { return true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestContext t;
        for (const auto& [key, value] : c.keys) {
            const QString k = QString::fromLatin1(key);
            const QString path = k.startsWith(QLatin1Char('@')) ? classes + k.mid(1) : mail + k;
            t.registry->setString(QStringLiteral("HKEY_LOCAL_MACHINE\\") + path, QString(), value);
        }
        EXPECT_EQ(DiscoverDeliveryTargets(t.ctx), kFixed + c.added);
        EXPECT_TRUE(c.vars(t.ctx));
    }
}

// The screen offers what discovery found.
TEST(Discovery, TheScreenListsTheFoundPrograms) {
    TestContext t;
    t.registry->setString(QStringLiteral("HKLM\\SOFTWARE\\Classes\\Excel.Application\\CurVer"), QString(),
                          QStringLiteral("Excel.Application.16"));
    installWindows(t.ctx);
    auto* splf = dynamic_cast<frmSplf*>(&t.ctx.frmSplf());
    QStringList items;
    for (int i = 0; i < splf->cboProcessType->count(); ++i) items << splf->cboProcessType->itemText(i);
    EXPECT_EQ(items, kFixed + QStringList{"Microsoft Excel"});
}

// This build's office programs, found through the machine registry that the
// build writes beside the program: offered, and their versions where the
// deliveries read them.
TEST(Discovery, TheOfficeProgramsOfThisBuildAreFoundWithTheirVersions) {
    TestContext t;
    t.ctx.services.machineRegistry =
        std::make_unique<FileMachineRegistry>(FileMachineRegistry::defaultPath(QStringLiteral(SW_BINARY_DIR)));
    const QStringList office{"Microsoft Excel", "Microsoft Word", "Lotus 123", "Lotus WordPro"};
    EXPECT_EQ(DiscoverDeliveryTargets(t.ctx), kFixed + office);
    const DeliveryTargets& found = t.ctx.targets;
    EXPECT_EQ(found.gExcelVersion, QStringLiteral("16"));
    EXPECT_EQ(found.gWordVersion, QStringLiteral("16"));
    EXPECT_EQ(found.gLotus123Version, QStringLiteral("98"));
}
