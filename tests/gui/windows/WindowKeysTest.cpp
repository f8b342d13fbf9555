// The keys of every window: the menus' shortcuts wherever the focus is, one
// control per Alt letter, the tab order, the options' tabs.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabBar>
#include <QTest>

#include "EveryWindow.h"
#include "frmMain.h"
#include "frmOptions.h"

namespace {
// The letter after a lone "&" of a caption, lower-cased; none for "&&".
QChar altLetter(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption[i + 1].toLower();
    }
    return {};
}

// What each Alt letter reaches in a window: its buttons, boxes, labels with a
// buddy, group boxes and the menus of its menu bar.
QMultiMap<QChar, QString> altLetters(QWidget* window) {
    QMultiMap<QChar, QString> letters;
    auto note = [&](const QString& caption, const QString& what) {
        const QChar c = altLetter(caption);
        if (!c.isNull()) letters.insert(c, what + QStringLiteral(" \"") + caption + QLatin1Char('"'));
    };
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) note(b->text(), b->objectName());
    for (QGroupBox* g : window->findChildren<QGroupBox*>())
        if (g->isCheckable()) note(g->title(), g->objectName());
    for (QLabel* l : window->findChildren<QLabel*>())
        if (l->buddy()) note(l->text(), l->objectName());
    for (QTabBar* t : window->findChildren<QTabBar*>())
        for (int i = 0; i < t->count(); ++i) note(t->tabText(i), t->objectName());
    for (QMenuBar* bar : window->findChildren<QMenuBar*>())
        for (QAction* a : bar->actions()) note(a->text(), QStringLiteral("menu"));
    return letters;
}
}  // namespace

// No two controls of a window answer the same Alt letter.
TEST(WindowKeys, EveryAltLetterNamesOneControlPerWindow) {
    EveryWindow all;
    for (const EveryWindow::Window& w : all.windows) {
        SCOPED_TRACE(w.name.toStdString());
        const QMultiMap<QChar, QString> letters = altLetters(w.widget);
        for (const QChar c : letters.uniqueKeys())
            EXPECT_EQ(letters.count(c), 1) << "Alt+" << QString(c).toStdString() << ": "
                                           << letters.values(c).join(QStringLiteral(", ")).toStdString();
    }
}

// Tab goes through the main window as it reads: each field, its button, then
// "&Open" before "E&xit".
TEST(WindowKeys, TheMainWindowsTabOrderFollowsItsReadingOrder) {
    TestContext t;
    frmMain& m = t.ctx.mainWindow();
    const QList<QWidget*> expected = {m.txtOutq, m.cmdListOutqs, m.cboLibrary, m.txtWrkSplf, m.cmdOK, m.cmdExit};
    for (qsizetype i = 0; i + 1 < expected.size(); ++i) {
        QWidget* next = expected[i]->nextInFocusChain();
        // A box's own line edit stands between it and the next control.
        while (next && next->focusProxy() == expected[i]) next = next->nextInFocusChain();
        while (next && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
        EXPECT_EQ(next, expected[i + 1]) << expected[i]->objectName().toStdString();
    }
}

// Each options item opens its own tab, and Ctrl+Tab goes round the tabs.
TEST(WindowKeys, EachOptionsItemOpensItsTabAndCtrlTabMovesOn) {
    TestContext t;
    frmMain& m = t.ctx.mainWindow();
    frmOptions& o = t.ctx.optionsWindow();
    int shownTab = -1;
    t.presenter->hooks[QStringLiteral("frmOptions")] = [&](QWidget*) { shownTab = o.tbsOptions->currentIndex(); };
    m.itmWaitTime_Click();
    EXPECT_EQ(shownTab, frmOptions::kWaitTimeTab);
    EXPECT_TRUE(o.fraIPAddress[1]->isVisibleTo(&o));
    EXPECT_FALSE(o.fraIPAddress[0]->isVisibleTo(&o));
    m.itmChangeAddress_Click();
    EXPECT_EQ(shownTab, frmOptions::kAddressTab);

    o.show();
    QApplication::setActiveWindow(&o);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&o, 5000));
    QTest::keyClick(&o, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(o.tbsOptions->currentIndex(), frmOptions::kWaitTimeTab);
    EXPECT_TRUE(o.fraIPAddress[1]->isVisible());
    QTest::keyClick(&o, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(o.tbsOptions->currentIndex(), frmOptions::kAddressTab);
    QTest::keyClick(&o, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(o.tbsOptions->currentIndex(), frmOptions::kWaitTimeTab);
    o.hide();
}
