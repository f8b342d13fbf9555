#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>

#include "TestSupport.h"
#include "frmMain.h"
#include "frmSplf.h"

namespace {
using Values = std::vector<std::pair<const char*, const char*>>;

// A screen loaded over a store holding the start-up values and `values`.
struct Loaded {
    explicit Loaded(const Values& values) {
        installWindows(t.ctx);
        for (const auto& [k, v] : Values{{"RemoveBlanks", "0"}, {"MinusSign", "1"}, {"Email", "0"}})
            t.ctx.services.saveSetting(QString::fromLatin1(k), QString::fromLatin1(v));
        for (const auto& [k, v] : values) t.ctx.services.saveSetting(QString::fromLatin1(k), QString::fromLatin1(v));
        splf = dynamic_cast<frmSplf*>(&t.ctx.frmSplf());
    }
    QStringList items(QComboBox* c) const {
        QStringList l;
        for (int i = 0; i < c->count(); ++i) l << c->itemText(i);
        return l;
    }
    TestContext t;
    frmSplf* splf = nullptr;
};
}  // namespace

TEST(RememberedSettings, EmptyStoreGivesTheFirstRunScreen) {
    Loaded s(Values{});
    frmSplf& f = *s.splf;
    EXPECT_FALSE(f.chkBlankLines->isChecked());
    EXPECT_TRUE(f.chkORMinusSign->isChecked());
    EXPECT_TRUE(f.chkOverprinting->isChecked());
    EXPECT_TRUE(f.optEmail[1]->isChecked());
    EXPECT_EQ(f.cboPageLength->currentText(), "66");
    EXPECT_EQ(s.items(f.cboPageLength), (QStringList{"66", "88", "Variable"}));
    EXPECT_EQ(f.cboTranslation->currentText(), "<Default>");
    EXPECT_EQ(f.cboFontSize->currentText(), "12");
    EXPECT_EQ(f.cboVertSize->currentText(), "12");
    EXPECT_EQ(f.cboPaperSize->currentText(), "Best fit");
    EXPECT_FALSE(f.enabled(QStringLiteral("cboFontSize")));
    EXPECT_EQ(f.cboFontSizeHTML->currentText(), "9");
    EXPECT_EQ(s.t.setting(QStringLiteral("Html font")), "9");
    EXPECT_EQ(f.cboProcessType->currentText(), "Please select a destination...");
}

// One remembered value (or a few) and what the loaded screen shows.
TEST(RememberedSettings, EachValueAndItsEdgeCases) {
    struct Case {
        const char* name;
        Values values;
        std::function<bool(Loaded&)> holds;
    };
    const Case cases[] = {
        {"Text or PDF lower-case false is Text", {{"Text or PDF", "false"}},
         [](Loaded& s) { return s.splf->optTextOrPDF[0]->isChecked(); }},
        {"Text or PDF False is PDF", {{"Text or PDF", "False"}},
         [](Loaded& s) { return s.splf->optTextOrPDF[1]->isChecked(); }},
        {"Page length Variable first", {{"Page length", "Variable"}},
         [](Loaded& s) { return s.items(s.splf->cboPageLength) == QStringList{"Variable", "66", "88"}; }},
        {"Page length 70 first", {{"Page length", "70"}},
         [](Loaded& s) {
             return s.items(s.splf->cboPageLength) == QStringList{"70", "66", "88", "Variable"} &&
                    s.splf->cboPageLength->currentText() == "70";
         }},
        {"Page length 88", {{"Page length", "88"}},
         [](Loaded& s) { return s.items(s.splf->cboPageLength) == QStringList{"88", "66", "Variable"}; }},
        {"Notes tabs stored empty empties the box", {{"Notes tabs", ""}},
         [](Loaded& s) { return s.splf->txtTabs->text().isEmpty(); }},
        {"Auto email true wins over Auto format 0", {{"Auto format", "0"}, {"Auto email", "True"}},
         [](Loaded& s) { return s.splf->chkAutoformat->isChecked(); }},
        {"AttachMultiples 1", {{"AttachMultiples", "1"}},
         [](Loaded& s) { return s.splf->chkAttachMultiples->isChecked(); }},
        {"Parse2 alone", {{"Parse2", "True"}},
         [](Loaded& s) { return s.splf->optParse[2]->isChecked() && !s.splf->optParse[0]->isChecked(); }},
        {"Add replace false adds", {{"Add replace", "False"}},
         [](Loaded& s) { return s.splf->optAddReplace[3]->isChecked(); }},
        {"Html add replace false adds", {{"Html add replace", "false"}},
         [](Loaded& s) { return s.splf->optAddReplace[1]->isChecked(); }},
        {"PRTCTL and *FCFC", {{"PRTCTL", "1"}, {"PRTCTL format", "False"}},
         [](Loaded& s) {
             return s.splf->chkPrtCtl->isChecked() && s.splf->optPrtCtlFormat[1]->isChecked() &&
                    !s.splf->enabled(QStringLiteral("cboPageLength"));
         }},
        {"PDF values and landscape",
         {{"PDF Fontsize", "8"}, {"PDF Vertsize", "Auto"}, {"PDF Papersize", "Legal"}, {"PDF Page orientation", "False"}},
         [](Loaded& s) {
             return s.splf->cboFontSize->currentText() == "8" && s.splf->cboVertSize->currentText() == "Auto" &&
                    s.splf->cboPaperSize->currentText() == "Legal" && s.splf->optPageOrientation[1]->isChecked() &&
                    s.splf->enabled(QStringLiteral("cboFontSize"));
         }},
        {"Email True sends as message", {{"Email", " True "}},
         [](Loaded& s) { return s.splf->optEmail[0]->isChecked(); }},
        {"Email 1 sends as attachment", {{"Email", "1"}},
         [](Loaded& s) { return s.splf->optEmail[1]->isChecked(); }},
        // Values no control can take keep the default, never a wrong state.
        {"check box value x", {{"RemoveBlanks", "x"}, {"MinusSign", "7"}, {"SuppressOverprinting", "-1"}},
         [](Loaded& s) {
             return !s.splf->chkBlankLines->isChecked() && s.splf->chkORMinusSign->isChecked() &&
                    s.splf->chkOverprinting->isChecked();
         }},
        {"lists that cannot show the value",
         {{"PDF Fontsize", "99"}, {"Translation", "Klingon"}, {"PDF Papersize", "A0"}, {"Html font", "300"}},
         [](Loaded& s) {
             return s.splf->cboFontSize->currentText() == "12" && s.splf->cboTranslation->currentText() == "<Default>" &&
                    s.splf->cboPaperSize->currentText() == "Best fit" && s.splf->cboFontSizeHTML->currentText() == "9";
         }},
        {"Booleans that are neither", {{"Add replace", "maybe"}, {"PDF Page orientation", "sideways"}},
         [](Loaded& s) { return s.splf->optPageOrientation[0]->isChecked() && !s.splf->optAddReplace[3]->isChecked(); }},
        {"page length not a length", {{"Page length", "-5"}},
         [](Loaded& s) {
             return s.splf->cboPageLength->currentText() == "66" &&
                    !s.items(s.splf->cboPageLength).contains(QStringLiteral("-5"));
         }},
        {"Defaults False restores no destination", {{"Defaults", "False"}, {"Process", "Text file"}, {"From", "3"}},
         [](Loaded& s) {
             return s.splf->cboProcessType->currentText() == "Please select a destination..." &&
                    s.splf->txtFrom->text() == "*Start";
         }},
        {"Defaults True restores an offered destination and the range",
         {{"Defaults", "True"}, {"Process", "Text file"}, {"From", "3"}, {"To", "9"}},
         [](Loaded& s) {
             return s.splf->cboProcessType->currentText() == "Text file" && s.splf->txtFrom->text() == "3" &&
                    s.splf->txtTo->text() == "9" && s.splf->visible(QStringLiteral("fraText"));
         }},
        {"a destination this PC does not offer", {{"Defaults", "True"}, {"Process", "Microsoft Excel"}},
         [](Loaded& s) { return s.splf->cboProcessType->currentText() == "Please select a destination..."; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded s(c.values);
        EXPECT_TRUE(c.holds(s));
    }
}

// What the frame's close writes, the next load shows.
TEST(RememberedSettings, CloseFromTheFrameAndLoadAgain) {
    Loaded s(Values{{"Defaults", "True"}});
    s.t.ctx.mainWindow().itmSaveSettings->setChecked(true);
    frmSplf& f = *s.splf;
    f.cboProcessType->setEditText(QStringLiteral("PDF document"));
    f.txtFrom->setText(QStringLiteral("2"));
    f.chkBlankLines->setChecked(true);
    f.chkORMinusSign->setChecked(false);
    f.optAddReplace[3]->setChecked(true);
    f.optParse[1]->setChecked(true);
    f.cboPageLength->setEditText(QStringLiteral("88"));
    f.cboPaperSize->setEditText(QStringLiteral("Letter"));
    f.optPageOrientation[1]->setChecked(true);
    f.chkPrtCtl->setChecked(true);
    f.optPrtCtlFormat[1]->setChecked(true);
    f.Form_Unload();
    EXPECT_EQ(s.t.setting(QStringLiteral("Page length")), "88");
    EXPECT_EQ(s.t.setting(QStringLiteral("Parse1")), "True");

    auto again = std::make_unique<frmSplf>(s.t.ctx);
    again->Form_Load();
    EXPECT_EQ(again->cboProcessType->currentText(), "PDF document");
    EXPECT_EQ(again->txtFrom->text(), "2");
    EXPECT_TRUE(again->chkBlankLines->isChecked());
    EXPECT_FALSE(again->chkORMinusSign->isChecked());
    EXPECT_TRUE(again->optAddReplace[3]->isChecked());
    EXPECT_TRUE(again->optParse[1]->isChecked());
    EXPECT_EQ(again->cboPageLength->currentText(), "88");
    EXPECT_EQ(again->cboPaperSize->currentText(), "Letter");
    EXPECT_TRUE(again->optPageOrientation[1]->isChecked());
    EXPECT_TRUE(again->chkPrtCtl->isChecked());
    EXPECT_TRUE(again->optPrtCtlFormat[1]->isChecked());
}

// However the screen goes away, its options are remembered.
TEST(RememberedSettings, EveryWayTheScreenGoesAwayRemembersItsOptions) {
    const std::pair<const char*, std::function<void(frmSplf&)>> ways[] = {
        {"the close box", [](frmSplf& f) { f.close(); }},
        {"&Close", [](frmSplf& f) { f.cmdCancel->click(); }},
        {"Escape", [](frmSplf& f) { QTest::keyClick(&f, Qt::Key_Escape); }},
    };
    for (const auto& [how, goAway] : ways) {
        SCOPED_TRACE(how);
        Loaded s(Values{{"Defaults", "True"}, {"Page length", "66"}});
        s.t.ctx.mainWindow().itmSaveSettings->setChecked(true);
        frmSplf& f = *s.splf;
        f.show();
        f.cboPageLength->setEditText(QStringLiteral("88"));
        f.optParse[1]->setChecked(true);
        goAway(f);
        EXPECT_TRUE(f.isHidden());
        EXPECT_EQ(s.t.setting(QStringLiteral("Page length")), "88");
        EXPECT_EQ(s.t.setting(QStringLiteral("Parse1")), "True");
    }
}

// Unticked "Remember Settings", and any batch run, write nothing.
TEST(RememberedSettings, NothingWrittenUnlessRemembering) {
    for (const bool batch : {false, true}) {
        Loaded s(Values{{"Page length", "88"}});
        s.t.ctx.mainWindow().itmSaveSettings->setChecked(batch);
        s.t.ctx.mode.gBatchMode = batch;
        s.splf->cboPageLength->setEditText(QStringLiteral("Variable"));
        s.splf->Form_Unload();
        EXPECT_EQ(s.t.setting(QStringLiteral("Page length")), "88") << batch;
        EXPECT_EQ(s.t.setting(QStringLiteral("Process")), "None") << batch;
    }
}
