#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "RecordingKeyboard.h"
#include "SendKeys.h"
#include "TestSupport.h"
#include "WidgetKeyboard.h"

namespace {
using M = Qt::KeyboardModifier;
KeyStroke k(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) { return {key, mods, text}; }
KeyStroke t(char c) { return {QChar(c).toUpper().unicode(), Qt::NoModifier, QString(QChar(c))}; }
}  // namespace

TEST(SendKeys, ReadsTheKeystrokeNotation) {
    const std::pair<const char*, std::vector<KeyStroke>> cases[] = {
        {"{Home}+{End}", {k(Qt::Key_Home), k(Qt::Key_End, M::ShiftModifier)}},
        {"%FHF", {k('F', M::AltModifier), t('H'), t('F')}},
        {"+{TAB}", {k(Qt::Key_Tab, M::ShiftModifier)}},
        {"^{END}~", {k(Qt::Key_End, M::ControlModifier), k(Qt::Key_Return)}},
        {"{TAB 3}", {k(Qt::Key_Tab), k(Qt::Key_Tab), k(Qt::Key_Tab)}},
        {"+(ab)c", {k('A', M::ShiftModifier, "A"), k('B', M::ShiftModifier, "B"), t('c')}},
        {"{+}{^}{%}{~}{{}{}}{(}{)}", {t('+'), t('^'), t('%'), t('~'), t('{'), t('}'), t('('), t(')')}},
        {"^+{f4}", {k(Qt::Key_F4, M::ControlModifier | M::ShiftModifier)}},
        {"{x 2}", {t('x'), t('x')}},
        {"a b", {t('a'), t(' '), t('b')}},
        {"", {}},
    };
    for (const auto& [keys, expected] : cases) {
        const auto got = SendKeys::parse(QString::fromLatin1(keys));
        EXPECT_EQ(got.size(), expected.size()) << keys;
        EXPECT_TRUE(got == expected) << keys;
    }
    EXPECT_EQ(SendKeys::parse(QStringLiteral("/tmp/spool/QSYSPRT 1.txt")).size(), 24u);
}

TEST(SendKeys, BadNotationIsRunTimeErrorFive) {
    for (const char* bad : {"{TAB", "{NOSUCHKEY}", "(ab", "ab)", "}", "+", "{TAB x}", "{}"}) {
        try {
            SendKeys::parse(QString::fromLatin1(bad));
            ADD_FAILURE() << bad;
        } catch (const KeysError& e) {
            EXPECT_EQ(e.number, 5) << bad;
        }
    }
}

TEST(WidgetKeyboard, KeysReachTheFocusWidgetOfOurWindow) {
    ensureApplication();
    QWidget window;
    window.setWindowTitle(QStringLiteral("Sign on to the iSeries"));
    auto* layout = new QVBoxLayout(&window);
    auto* user = new QLineEdit(QStringLiteral("ANN"));
    user->setObjectName(QStringLiteral("txtUserId"));
    auto* ok = new QPushButton(QStringLiteral("&OK"));
    int clicks = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++clicks; });
    auto* action = new QAction(&window);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    int saves = 0;
    QObject::connect(action, &QAction::triggered, [&] { ++saves; });
    window.addAction(action);
    layout->addWidget(user);
    layout->addWidget(ok);
    window.show();

    window.activateWindow();
    for (int i = 0; i < 100 && !window.isActiveWindow(); ++i) QApplication::processEvents();
    user->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), user);
    WidgetKeyboard keyboard;
    keyboard.sendKeys(QStringLiteral("{Home}+{End}"), true);
    EXPECT_EQ(user->selectedText(), QStringLiteral("ANN"));
    keyboard.sendKeys(QStringLiteral("bob{BS}{BS}ill"), true);
    EXPECT_EQ(user->text(), QStringLiteral("bill"));
    keyboard.sendKeys(QStringLiteral("^s"), true);
    EXPECT_EQ(saves, 1);
    keyboard.sendKeys(QStringLiteral("%o"), true);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(user->text(), QStringLiteral("bill"));  // the mnemonic went to the button
    EXPECT_THROW(keyboard.sendKeys(QStringLiteral("x{BAD}"), true), KeysError);
    EXPECT_EQ(user->text(), QStringLiteral("bill"));  // nothing of a bad string is sent

    EXPECT_TRUE(keyboard.activate(QStringLiteral("sign on to the iseries")));
    EXPECT_TRUE(keyboard.activate(QStringLiteral("Sign on")));
    EXPECT_FALSE(keyboard.activate(QStringLiteral("Composition")));
    EXPECT_FALSE(keyboard.activateTask(4242));
    EXPECT_EQ(keyboard.lockState(LockKey::CapsLock), 0);
}

TEST(RecordingKeyboard, RecordsKeysAndFlipsLocksForLockKeys) {
    RecordingKeyboard keyboard;
    keyboard.setLock(LockKey::NumLock, true);
    keyboard.sendKeys(QStringLiteral("{CAPSLOCK}abc"), true);
    keyboard.sendKeys(QStringLiteral("{NUMLOCK}"), false);
    EXPECT_TRUE(keyboard.lockOn(LockKey::CapsLock));
    EXPECT_FALSE(keyboard.lockOn(LockKey::NumLock));
    EXPECT_EQ(keyboard.keys(), QStringList({"{CAPSLOCK}abc", "{NUMLOCK}"}));
    EXPECT_FALSE(keyboard.sent()[1].wait);
    EXPECT_THROW(keyboard.sendKeys(QStringLiteral("{"), true), KeysError);
    keyboard.canActivate = [](const QString& title) { return title == QStringLiteral("Lotus Notes"); };
    EXPECT_FALSE(keyboard.activate(QStringLiteral("Composition")));
    EXPECT_TRUE(keyboard.activate(QStringLiteral("Lotus Notes")));
    EXPECT_EQ(keyboard.activations(), QStringList({"Composition", "Lotus Notes"}));
}
