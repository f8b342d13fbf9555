#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <map>
#include <stdexcept>

#include "OpenSelection.h"
#include "ProcessTypes.h"
#include "ScreenOptions.h"
#include "SplfGrid.h"
#include "TestSupport.h"
#include "frmSplf.h"

namespace {
struct Screen {
    Screen() {
        installWindows(t.ctx);
        splf = dynamic_cast<frmSplf*>(&t.ctx.frmSplf());
    }
    void choose(const QString& type) {
        splf->cboProcessType->setEditText(type);
        splf->cboProcessType_Click();
    }
    TestContext t;
    frmSplf* splf = nullptr;
};

const char* const kFrames[] = {"fraText", "fraHTML", "fraPDF", "fraPrinter", "fraEmail", "fraMacro", "fraParse"};

struct TypeCase {
    const char* type;
    QStringList shown;        // option frames shown
    const char* enabledChecks; // M minus sign, B blank lines, O overprinting, C chkMacro, A chkAttachMultiples
    const char* parse;        // enabled optParse buttons, e.g. "01"
    bool tabs;                // the Notes tab counts shown
    const char* macroCaption;
};
}  // namespace

// Every destination after one that showed and enabled the most (Excel, then
// Lotus Notes with "Send as attachment"): the reset must take back what the
// earlier choices gave.
TEST(SplfProcessType, FramesAndChecksPerDestination) {
    const TypeCase cases[] = {
        {"View a few pages", {}, "MBO", "", false, nullptr},
        {"View entire report", {}, "MBO", "", false, nullptr},
        {"PC printer", {"fraPrinter"}, "BO", "", false, nullptr},
        {"Text file", {"fraText"}, "MBO", "", false, nullptr},
        {"HTML document", {"fraHTML"}, "MBO", "", false, nullptr},
        {"XML document", {}, "MBO", "", false, nullptr},
        {"PDF document", {"fraPDF"}, "MO", "", false, nullptr},
        {"Netscape e-mail", {"fraEmail"}, "MBOA", "", false, nullptr},
        {"Outlook Express e-mail", {"fraEmail"}, "MBOA", "", false, nullptr},
        {"Outlook e-mail", {"fraEmail"}, "MBOA", "", false, nullptr},
        {"Lotus Notes", {"fraEmail"}, "MBOA", "", true, nullptr},
        {"Microsoft Excel", {"fraMacro", "fraParse"}, "MBOC", "012", false, "Excel Options"},
        {"Lotus 123", {"fraParse"}, "MBO", "01", false, nullptr},
        {"Microsoft Word", {"fraMacro"}, "MBOC", "", false, "Word Options"},
        {"Microsoft Word 6/95", {"fraMacro"}, "MBOC", "", false, "Word Options"},
        {"Lotus WordPro", {}, "MBO", "", false, nullptr},
        {"Please select a destination...", {}, "", "", false, nullptr},
        {"text file", {}, "", "", false, nullptr},
    };
    for (const TypeCase& c : cases) {
        Screen s;
        s.splf->setValue(QStringLiteral("optEmail"), 1);
        s.choose(QStringLiteral("Microsoft Excel"));
        s.choose(QStringLiteral("Lotus Notes"));
        s.choose(QString::fromLatin1(c.type));
        SCOPED_TRACE(c.type);
        for (const char* f : kFrames)
            EXPECT_EQ(s.splf->visible(QString::fromLatin1(f)), c.shown.contains(QString::fromLatin1(f))) << f;
        const QString checks = QString::fromLatin1(c.enabledChecks);
        EXPECT_EQ(s.splf->enabled(QStringLiteral("chkORMinusSign")), checks.contains(QLatin1Char('M')));
        EXPECT_EQ(s.splf->enabled(QStringLiteral("chkBlankLines")), checks.contains(QLatin1Char('B')));
        EXPECT_EQ(s.splf->enabled(QStringLiteral("chkOverprinting")), checks.contains(QLatin1Char('O')));
        EXPECT_EQ(s.splf->enabled(QStringLiteral("chkMacro")), checks.contains(QLatin1Char('C')));
        EXPECT_EQ(s.splf->enabled(QStringLiteral("chkAttachMultiples")), checks.contains(QLatin1Char('A')));
        EXPECT_EQ(s.t.ctx.download.gMinusSignApplicable, checks.contains(QLatin1Char('M')));
        if (!checks.isEmpty()) {
            EXPECT_TRUE(s.splf->enabled(QStringLiteral("fraFormatting")));
        }
        if (c.shown.contains(QStringLiteral("fraParse"))) {
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(s.splf->enabled(QStringLiteral("optParse_%1").arg(i)),
                          QString::fromLatin1(c.parse).contains(QString::number(i)))
                    << i;
        }
        if (c.shown.contains(QStringLiteral("fraEmail"))) {
            for (const char* t : {"txtTabs", "lblTabs", "txtTabs2"})
                EXPECT_EQ(s.splf->visible(QString::fromLatin1(t)), c.tabs) << t;
        }
        if (c.macroCaption != nullptr) {
            EXPECT_EQ(s.splf->text(QStringLiteral("fraMacro")), QString::fromLatin1(c.macroCaption));
            EXPECT_TRUE(s.splf->enabled(QStringLiteral("fraMacro")));
        }
    }
}

TEST(SplfProcessType, ConditionsWithinADestination) {
    {
        Screen s;  // print control characters leave overprinting to the host
        s.splf->setValue(QStringLiteral("chkPrtCtl"), 1);
        s.choose(QStringLiteral("Text file"));
        EXPECT_FALSE(s.splf->enabled(QStringLiteral("chkOverprinting")));
        EXPECT_TRUE(s.splf->enabled(QStringLiteral("chkBlankLines")));
    }
    {
        Screen s;  // automatic sending, or a message body, attaches nothing
        s.splf->setValue(QStringLiteral("optEmail"), 1);
        s.splf->setValue(QStringLiteral("chkAutoSend"), 1);
        s.choose(QStringLiteral("Outlook e-mail"));
        EXPECT_FALSE(s.splf->enabled(QStringLiteral("chkAttachMultiples")));
        s.splf->setValue(QStringLiteral("chkAutoSend"), 0);
        s.splf->setValue(QStringLiteral("optEmail"), 0);
        s.choose(QStringLiteral("Outlook e-mail"));
        EXPECT_FALSE(s.splf->enabled(QStringLiteral("chkAttachMultiples")));
    }
    {
        Screen s;  // the checks keep their values while disabled
        s.splf->setValue(QStringLiteral("chkBlankLines"), 1);
        s.choose(QStringLiteral("PDF document"));
        EXPECT_FALSE(s.splf->enabled(QStringLiteral("chkBlankLines")));
        EXPECT_EQ(s.splf->value(QStringLiteral("chkBlankLines")), 1);
    }
}

TEST(SplfHandlers, OptionsThatDoNotApplyToTheChoicesMadeAreOff) {
    Screen s;
    frmSplf& f = *s.splf;
    // Paper size "Best fit" decides size, spacing and orientation itself.
    f.cboPaperSize->setEditText(QStringLiteral("Best fit"));
    f.cboPaperSize_Click();
    for (const char* n : {"cboFontSize", "lblFontSize", "cboVertSize", "lblVertSize", "optPageOrientation_0",
                          "optPageOrientation_1"})
        EXPECT_FALSE(f.enabled(QString::fromLatin1(n))) << n;
    f.cboPaperSize->setEditText(QStringLiteral("Letter"));
    f.cboPaperSize_Click();
    EXPECT_TRUE(f.enabled(QStringLiteral("cboFontSize")));
    EXPECT_TRUE(f.enabled(QStringLiteral("optPageOrientation_1")));

    // Print control characters: their format instead of a page length.
    f.setValue(QStringLiteral("chkPrtCtl"), 1);
    EXPECT_FALSE(f.enabled(QStringLiteral("cboPageLength")));
    EXPECT_FALSE(f.enabled(QStringLiteral("lblPageLength")));
    EXPECT_TRUE(f.enabled(QStringLiteral("optPrtCtlFormat_1")));
    EXPECT_FALSE(f.enabled(QStringLiteral("chkOverprinting")));
    f.setValue(QStringLiteral("chkPrtCtl"), 0);
    EXPECT_TRUE(f.enabled(QStringLiteral("cboPageLength")));
    EXPECT_FALSE(f.enabled(QStringLiteral("optPrtCtlFormat_0")));
    EXPECT_TRUE(f.enabled(QStringLiteral("chkOverprinting")));

    // E-mail: a message has no attachment options; clearing automatic
    // sending enables "Attach all" even then.
    f.setValue(QStringLiteral("optEmail"), 0);
    for (const char* n : {"chkAttachMultiples", "optTextOrPDF_0", "optTextOrPDF_1", "chkAutoSend", "cmdAutoOptions"})
        EXPECT_FALSE(f.enabled(QString::fromLatin1(n))) << n;
    f.setValue(QStringLiteral("optEmail"), 1);
    for (const char* n : {"chkAttachMultiples", "optTextOrPDF_0", "chkAutoSend", "cmdAutoOptions"})
        EXPECT_TRUE(f.enabled(QString::fromLatin1(n))) << n;
    f.setValue(QStringLiteral("chkAutoSend"), 1);
    EXPECT_FALSE(f.enabled(QStringLiteral("chkAttachMultiples")));
    EXPECT_TRUE(f.enabled(QStringLiteral("cmdAutoOptions")));
    f.setValue(QStringLiteral("optEmail"), 0);
    f.setValue(QStringLiteral("chkAutoSend"), 0);
    EXPECT_TRUE(f.enabled(QStringLiteral("chkAttachMultiples")));
    EXPECT_FALSE(f.enabled(QStringLiteral("cmdAutoOptions")));
}

TEST(SplfControls, ReachedByName) {
    Screen s;
    frmSplf& f = *s.splf;
    // Designed values and the lists of a screen with nothing remembered.
    EXPECT_EQ(f.text(QStringLiteral("txtFrom")), QStringLiteral("*Start"));
    EXPECT_EQ(f.text(QStringLiteral("txtTo")), QStringLiteral("*End"));
    EXPECT_EQ(f.value(QStringLiteral("chkOverprinting")), 1);
    EXPECT_EQ(f.value(QStringLiteral("chkBlankLines")), 0);
    EXPECT_EQ(f.text(QStringLiteral("cboProcessType")), QStringLiteral("Please select a destination..."));
    EXPECT_EQ(f.cboProcessType->count(), 7);
    EXPECT_EQ(f.text(QStringLiteral("cboTranslation")), QStringLiteral("<Default>"));
    ASSERT_EQ(f.cboTranslation->count(), 65);
    EXPECT_EQ(f.cboTranslation->itemText(63), QStringLiteral("From: USA/Canada    To: PC-USA   Q037337437"));
    EXPECT_EQ(f.cboTranslation->itemText(50), QStringLiteral("From: Russian    To: PC-Russian   QA3RBF866 "));
    EXPECT_EQ(f.text(QStringLiteral("cboPageLength")), QStringLiteral("66"));
    EXPECT_EQ(f.text(QStringLiteral("cboFontSizeHTML")), QStringLiteral("9"));
    EXPECT_EQ(f.text(QStringLiteral("cmdCancel")), QStringLiteral("&Close"));
    EXPECT_EQ(f.caption(), QStringLiteral("Select reports to download and their destination"));
    EXPECT_EQ(f.status(), QStringLiteral("Select one or more spool files to download, and the download destination."));

    // Option arrays: the whole array gives the first chosen index, an element its state.
    EXPECT_EQ(f.value(QStringLiteral("optEmail")), 1) << "the load chooses \"Send as attachment\" when nothing is remembered";
    EXPECT_EQ(f.value(QStringLiteral("optAddReplace")), 0);
    EXPECT_EQ(f.value(QStringLiteral("optAddReplace_2")), 0);
    f.setValue(QStringLiteral("optAddReplace"), 3);
    EXPECT_EQ(f.value(QStringLiteral("optAddReplace_3")), 1);
    EXPECT_EQ(f.value(QStringLiteral("optAddReplace_0")), 1) << "the HTML pair is a group of its own";
    f.setValue(QStringLiteral("optAddReplace_2"), 1);
    EXPECT_EQ(f.value(QStringLiteral("optAddReplace_3")), 0);
    f.setValue(QStringLiteral("optAddReplace_2"), 0);
    EXPECT_EQ(f.value(QStringLiteral("optAddReplace_2")), 0);
    EXPECT_EQ(f.text(QStringLiteral("optAddReplace_0")), QStringLiteral("&Replace file"));

    f.setText(QStringLiteral("cboProcessType"), QStringLiteral("Microsoft Word 6/95"));
    EXPECT_EQ(f.text(QStringLiteral("cboProcessType")), QStringLiteral("Microsoft Word 6/95"));
    f.setValue(QStringLiteral("chkAutoformat"), 1);
    EXPECT_EQ(f.value(QStringLiteral("chkAutoformat")), 1);
    EXPECT_THROW(f.value(QStringLiteral("noSuchControl")), std::logic_error);
    EXPECT_THROW(f.text(QStringLiteral("noSuchControl")), std::logic_error);
    EXPECT_FALSE(f.visible(QStringLiteral("txtLink")));
}

TEST(SplfControls, KeysThatAreDiscarded) {
    Screen s;
    frmSplf& f = *s.splf;
    f.show();
    auto type = [](QWidget* w, Qt::Key key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(w, &press);
    };
    const QString before = f.text(QStringLiteral("cboProcessType"));
    type(f.cboProcessType->lineEdit(), Qt::Key_T, QStringLiteral("T"));
    type(f.cboProcessType, Qt::Key_T, QStringLiteral("T"));
    EXPECT_EQ(f.text(QStringLiteral("cboProcessType")), before);

    f.txtTabs->clear();
    for (const char* k : {"8", "a", "7", "+"}) type(f.txtTabs, Qt::Key_A, QString::fromLatin1(k));
    EXPECT_EQ(f.txtTabs->text(), QStringLiteral("7+"));
    f.txtTabs2->clear();
    for (const char* k : {"+", "9", "3"}) type(f.txtTabs2, Qt::Key_A, QString::fromLatin1(k));
    EXPECT_EQ(f.txtTabs2->text(), QStringLiteral("3"));
    f.hide();
}

// Tab in the grid goes on to the next control, as everywhere else; it must
// not move the current row and so change which reports are selected.
TEST(SplfControls, TabLeavesTheGridWithTheSelectionAsItWas) {
    Screen s;
    frmSplf& f = *s.splf;
    SplfGrid& g = f.grdSplf();
    defineSplfGridColumns(g);
    for (int i = 0; i < 3; ++i) {
        g.addRow();
        g.setCellValue(g.rowCount(), QStringLiteral("File"), QStringLiteral("REPORT%1").arg(g.rowCount()));
    }
    g.setCellSelected(1, 1, true);
    g.setCellSelected(3, 1, true);
    f.show();
    f.activateWindow();
    s.t.ctx.services.clock->waitUntil([&] { return f.isActiveWindow(); }, 2000);
    f.grdSplfTable->setFocus();
    ASSERT_TRUE(f.grdSplfTable->hasFocus());
    for (const Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        f.grdSplfTable->setFocus();
        QKeyEvent tab(QEvent::KeyPress, mods ? Qt::Key_Backtab : Qt::Key_Tab, mods);
        QApplication::sendEvent(f.grdSplfTable, &tab);
        EXPECT_FALSE(f.grdSplfTable->hasFocus()) << mods.toInt();
        EXPECT_TRUE(g.rowSelected(1));
        EXPECT_FALSE(g.rowSelected(2));
        EXPECT_TRUE(g.rowSelected(3));
    }
    f.hide();
}

// "Download to:" shows its prompt and every destination whole, and a click on
// its text or its label opens the list (as F4 does from the keyboard).
TEST(SplfControls, DownloadToShowsEveryChoiceWholeAndOpensOnAClick) {
    Screen s;
    frmSplf& f = *s.splf;
    f.show();
    QApplication::processEvents();
    QLineEdit* field = f.cboProcessType->lineEdit();
    // QLineEdit keeps 2 pixels each side of its text.
    const int room = field->contentsRect().width() - 4;
    QStringList texts = ProcessTypes::all();
    texts << ProcessTypes::kPrompt;
    for (const QString& text : texts)
        EXPECT_LE(field->fontMetrics().horizontalAdvance(text), room) << text.toStdString();

    const auto press = [](QWidget* w) {
        QMouseEvent down(QEvent::MouseButtonPress, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &down);
    };
    const auto opened = [&](const char* how, const std::function<void()>& act) {
        f.cboProcessType->hidePopup();
        QApplication::processEvents();
        act();
        QApplication::processEvents();
        EXPECT_TRUE(f.cboProcessType->view()->isVisible()) << how;
        f.cboProcessType->hidePopup();
    };
    opened("click on the text", [&] { press(field); });
    opened("click on the label", [&] { press(f.lblDownloadTo); });
    opened("F4", [&] {
        QKeyEvent f4(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier);
        QApplication::sendEvent(field, &f4);
    });
    // Disabled while a download runs: no click opens it.
    f.cboProcessType->setEnabled(false);
    press(f.lblDownloadTo);
    QApplication::processEvents();
    EXPECT_FALSE(f.cboProcessType->view()->isVisible());
    f.hide();
}

// "Download to:" answers the keys of any list: Down and Up choose the next
// and the previous destination and show its options, Home and End the ends.
TEST(SplfControls, DownloadToMovesWithTheKeysOfAList) {
    Screen s;
    frmSplf& f = *s.splf;
    f.show();
    f.cboProcessType->setFocus();
    const int text = f.cboProcessType->findText(QStringLiteral("Text file"));
    f.cboProcessType->setCurrentIndex(text);
    f.cboProcessType_Click();
    const auto press = [&](Qt::Key key) { QTest::keyClick(f.cboProcessType, key); };
    press(Qt::Key_Down);
    EXPECT_EQ(f.cboProcessType->currentIndex(), text + 1);
    EXPECT_TRUE(f.fraText->isHidden()) << "the next destination's options show, not the text file's";
    press(Qt::Key_Up);
    EXPECT_EQ(f.cboProcessType->currentText(), QStringLiteral("Text file"));
    EXPECT_TRUE(f.fraText->isVisible());
    press(Qt::Key_End);
    EXPECT_EQ(f.cboProcessType->currentIndex(), f.cboProcessType->count() - 1);
    press(Qt::Key_Home);
    EXPECT_EQ(f.cboProcessType->currentIndex(), 0);
    f.hide();
}

TEST(SplfControls, CloseHidesOrCancels) {
    Screen s;
    frmSplf& f = *s.splf;
    f.show();
    f.cmdCancel_Click();
    EXPECT_TRUE(f.isHidden()) << "&Close hides the screen";

    // While a download runs the same button asks it to stop.
    f.show();
    f.cmdCancel->setText(QStringLiteral("&Cancel"));
    s.t.ctx.saveDialogs.text.all = s.t.ctx.saveDialogs.pdf.all = true;
    f.cmdCancel_Click();
    EXPECT_TRUE(s.t.ctx.link.cancelRequested());
    EXPECT_FALSE(f.cmdCancel->isEnabled());
    EXPECT_FALSE(s.t.ctx.saveDialogs.text.all || s.t.ctx.saveDialogs.pdf.all);
    EXPECT_EQ(f.status(), QStringLiteral("Cancel in progress...  Please wait."));
    EXPECT_FALSE(f.isHidden());
    // The window frame's close does not unload a screen that a download uses.
    f.close();
    EXPECT_FALSE(f.isHidden());
    EXPECT_TRUE(s.t.ctx.splfScreen.loaded());

    // Once it has stopped, the frame's close unloads the screen; the next use loads a new one.
    f.cmdCancel->setText(QStringLiteral("&Close"));
    f.close();
    EXPECT_FALSE(s.t.ctx.splfScreen.loaded());
    EXPECT_NE(&s.t.ctx.frmSplf(), static_cast<SplfScreenApi*>(&f));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(SplfGridOverTable, CellsAreReachedByColumnKeyAndAnyCellSelectsItsRow) {
    Screen s;
    SplfGrid& g = s.splf->grdSplf();
    g.addColumn(QStringLiteral("Date"), QStringLiteral("Date and Time"), 130);
    g.addColumn(QStringLiteral("File"), QStringLiteral("Spool File"), 85);
    EXPECT_EQ(s.splf->grdSplfTable->columnWidth(0), 130);
    for (int i = 0; i < 3; ++i) {
        g.addRow();
        g.setCellValue(g.rowCount(), QStringLiteral("File"), QStringLiteral("F%1").arg(g.rowCount()));
    }
    EXPECT_EQ(g.rowCount(), 3);
    EXPECT_EQ(g.cellValue(2, QStringLiteral("File")), QStringLiteral("F2"));
    EXPECT_EQ(g.cellValue(2, QStringLiteral("Date")), QString());
    g.setCellSelected(1, 1, true);
    g.setCellSelected(3, 2, true);
    EXPECT_TRUE(g.rowSelected(1));
    EXPECT_FALSE(g.rowSelected(2));
    EXPECT_TRUE(g.rowSelected(3)) << "any cell selects its row";
    g.setCellSelected(1, 1, false);
    EXPECT_FALSE(g.rowSelected(1));
    EXPECT_THROW(g.setCellValue(1, QStringLiteral("Nope"), QString()), std::out_of_range);
    EXPECT_THROW(g.cellValue(4, QStringLiteral("File")), std::out_of_range);
    g.clear();
    EXPECT_EQ(g.rowCount(), 0);
    EXPECT_EQ(g.columnCount(), 2);
    g.clear(true);
    EXPECT_EQ(g.columnCount(), 0);
}

// A column made as wide as its texts shows each of them whole, however far
// down the long list the widest stands and in whichever font its column has.
TEST(SplfGridOverTable, AutoWidthFitsTheWidestTextAnywhereInALongList) {
    Screen s;
    SplfGrid& g = s.splf->grdSplf();
    QTableView* view = s.splf->grdSplfTable;
    g.addColumn(QStringLiteral("File"), QStringLiteral("Spool File"), 10);
    g.addColumn(QStringLiteral("Pages"), QStringLiteral("Pages"), 10);
    std::vector<QStringList> rows;
    for (int i = 0; i < 4000; ++i) rows.push_back({QStringLiteral("iiiiiiiiii"), QStringLiteral("     1")});
    // Fewer characters, but wider ones; and a text past the first thousand rows.
    rows[3500][0] = QStringLiteral("WWWWWWWW");
    rows[3999][1] = QStringLiteral("999999");
    g.addRows({QStringLiteral("File"), QStringLiteral("Pages")}, rows);
    g.setCellFont(1, QStringLiteral("Pages"), QFont(QStringLiteral("Courier New"), 14));
    g.listEnded();
    g.autoWidthColumn(QStringLiteral("File"));
    g.autoWidthColumn(QStringLiteral("Pages"));
    for (const auto& [row, column] : {std::pair{3500, 0}, std::pair{0, 0}, std::pair{3999, 1}, std::pair{0, 1}}) {
        const int needed = view->sizeHintForIndex(view->model()->index(row, column)).width();
        EXPECT_GE(view->columnWidth(column), needed) << "row " << row << " column " << column;
    }
    EXPECT_GE(view->columnWidth(0), view->horizontalHeader()->sectionSizeHint(0)) << "the header fits too";
    // Not wider than the widest text or the header needs.
    const int widest = std::max(view->sizeHintForIndex(view->model()->index(3500, 0)).width() + 1,
                                view->horizontalHeader()->sectionSizeHint(0));
    EXPECT_LE(view->columnWidth(0), widest);
}

TEST(SplfLayout, GridGrowsOptionsStayAtTheBottom) {
    Screen s;
    frmSplf& f = *s.splf;
    f.show();
    f.resize(800, 520);
    QApplication::processEvents();
    ASSERT_EQ(f.size(), QSize(800, 520));
    const QRect grid = f.grdSplfTable->geometry(), ok = f.cmdOK->geometry(), cancel = f.cmdCancel->geometry();
    const QRect type = f.cboProcessType->geometry(), range = f.fraRange->geometry();
    EXPECT_GT(ok.left(), type.right());
    EXPECT_GT(cancel.top(), ok.top());

    f.resize(800, 587);  // 1000 twips taller
    QApplication::processEvents();
    EXPECT_EQ(f.grdSplfTable->height(), grid.height() + 67);
    EXPECT_EQ(f.cmdOK->y(), ok.y() + 67);
    EXPECT_EQ(f.cmdCancel->y(), cancel.y() + 67);
    EXPECT_EQ(f.cboProcessType->y(), type.y() + 67);
    EXPECT_EQ(f.fraRange->y(), range.y() + 67);

    f.resize(867, 587);  // and wider
    QApplication::processEvents();
    EXPECT_EQ(f.grdSplfTable->width(), grid.width() + 67);
    EXPECT_EQ(f.cmdOK->x(), ok.x() + 67);
    EXPECT_EQ(f.cboProcessType->x(), type.x());
    EXPECT_EQ(f.fraRange->geometry().size(), range.size());

    f.resize(600, 333);  // 9000 x 5000 twips
    QApplication::processEvents();
    EXPECT_GE(f.width(), 650);
    EXPECT_GE(f.height(), 400);
    f.hide();
}

// The record the screen hands to a download holds what its controls show, and
// the settings file's way back sets the same controls.
TEST(SplfOptions, TheRecordFollowsTheControlsBothWays) {
    Screen s;
    s.splf->fillDesignedLists();
    DownloadOptions o;
    o.processType = QStringLiteral("PDF document");
    o.translation = QStringLiteral("<Default>");
    o.fromPage = QStringLiteral("3");
    o.toPage = QStringLiteral("12");
    o.removeBlankLines = true;
    o.suppressOverprinting = false;
    o.convertMinusSign = false;
    o.printControl = true;
    o.fcfc = true;
    o.pageLength = QStringLiteral("Variable");
    o.textFile = DownloadOptions::AddReplace::Add;
    o.htmlAddToFile = true;
    o.htmlFontSize = QStringLiteral("13");
    o.pdfLandscape = true;
    o.pdfFontSize = QStringLiteral("14");
    o.pdfPaperSize = QStringLiteral("Legal");
    o.pdfVertSize = QStringLiteral("9");
    o.email = 1;
    o.emailAsPdf = true;
    o.autoSend = true;
    o.attachMultiples = true;
    o.tabs = QStringLiteral("+");
    o.tabs2 = QStringLiteral("5");
    o.runMacro = o.runSilent = o.autoformat = true;
    o.parse = 2;
    o.link = QStringLiteral("LINK");
    WriteScreenOptions(*s.splf, o);
    EXPECT_TRUE(s.splf->optAddReplace[3]->isChecked());
    EXPECT_TRUE(s.splf->optAddReplace[1]->isChecked());
    EXPECT_TRUE(s.splf->optPrtCtlFormat[1]->isChecked());
    EXPECT_EQ(s.splf->cboPaperSize->currentText(), QStringLiteral("Legal"));

    const DownloadOptions back = ReadScreenOptions(*s.splf, true);
    EXPECT_TRUE(back.minusSignApplicable);
    for (auto field : {&DownloadOptions::processType, &DownloadOptions::fromPage, &DownloadOptions::toPage,
                       &DownloadOptions::pageLength, &DownloadOptions::htmlFontSize, &DownloadOptions::pdfFontSize,
                       &DownloadOptions::pdfPaperSize, &DownloadOptions::pdfVertSize, &DownloadOptions::tabs,
                       &DownloadOptions::tabs2, &DownloadOptions::link})
        EXPECT_EQ(back.*field, o.*field);
    for (auto field : {&DownloadOptions::removeBlankLines, &DownloadOptions::suppressOverprinting,
                       &DownloadOptions::convertMinusSign, &DownloadOptions::printControl, &DownloadOptions::fcfc,
                       &DownloadOptions::htmlAddToFile, &DownloadOptions::pdfLandscape, &DownloadOptions::emailAsPdf,
                       &DownloadOptions::autoSend, &DownloadOptions::attachMultiples, &DownloadOptions::runMacro,
                       &DownloadOptions::runSilent, &DownloadOptions::autoformat})
        EXPECT_EQ(back.*field, o.*field);
    EXPECT_EQ(back.textFile, DownloadOptions::AddReplace::Add);
    EXPECT_EQ(back.email, 1);
    EXPECT_EQ(back.parse, 2);

    // The other way round for the choices that were made above.
    o.textFile = DownloadOptions::AddReplace::Replace;
    o.htmlAddToFile = o.fcfc = o.pdfLandscape = false;
    WriteScreenOptions(*s.splf, o);
    const DownloadOptions again = ReadScreenOptions(*s.splf, false);
    EXPECT_TRUE(again.replacesTextFile());
    EXPECT_FALSE(again.htmlAddToFile);
    EXPECT_FALSE(again.fcfc);
    EXPECT_FALSE(again.pdfLandscape);
    EXPECT_FALSE(again.sendsMinusConversion());
}

// The dialogs keep their choices as settings; "None" is the dialog's default.
TEST(SplfOptions, TheDialogsPartComesFromTheirSettings) {
    const std::map<QString, QString> stored{{QStringLiteral("FullName"), QStringLiteral("1")},
                                            {QStringLiteral("Use job number"), QStringLiteral("True")},
                                            {QStringLiteral("Save Path"), QStringLiteral("/data/out")},
                                            {QStringLiteral("132 Fontsize"), QStringLiteral(" 9 ")},
                                            {QStringLiteral("Orientation 1"), QStringLiteral("False")},
                                            {QStringLiteral("Orientation 3"), QStringLiteral("False")}};
    DownloadOptions o;
    ReadDialogOptions(o, [&](const QString& key) {
        const auto it = stored.find(key);
        return it == stored.end() ? QStringLiteral("None") : it->second;
    });
    EXPECT_TRUE(o.naming.fullName);
    EXPECT_TRUE(o.naming.useJobNumber);
    EXPECT_FALSE(o.naming.useJobName);
    EXPECT_EQ(o.naming.savePath, QStringLiteral("/data/out"));
    EXPECT_EQ(o.printer.fontSize, (std::array<QString, 3>{QStringLiteral("Auto"), QStringLiteral("9"), QStringLiteral("Auto")}));
    EXPECT_EQ(o.printer.landscape, (std::array<bool, 3>{true, true, false}));

    DownloadOptions none;
    ReadDialogOptions(none, [](const QString&) { return QStringLiteral("None"); });
    EXPECT_FALSE(none.naming.fullName);
    EXPECT_TRUE(none.naming.savePath.isEmpty());
    EXPECT_EQ(none.printer.landscape, (std::array<bool, 3>{false, true, true}));
}
