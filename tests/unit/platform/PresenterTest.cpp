#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include "QtPresenter.h"
#include "TestPresenter.h"
#include "TestSupport.h"

TEST(Presenter, FiltersWrittenWithBarsBecomeQtFilters) {
    const std::pair<const char*, const char*> cases[] = {
        {"Text (*.txt)|*.txt|All files (*.*)|*.*", "Text (*.txt);;All files (*.*)"},
        {"Excel workbooks|*.xl*", "Excel workbooks (*.xl*)"},
        {"Word templates|*.dot;*.dotx", "Word templates (*.dot *.dotx)"},
        {"|*.spw", "(*.spw)"},
        {"Settings (*.spw)", "Settings (*.spw)"},
        {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(Presenter::qtFilter(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
}

TEST(QtPresenter, AModalShowReturnsWhenTheWindowIsHidden) {
    ensureApplication();
    QtPresenter presenter;
    QWidget window;
    bool wasModal = false;
    QTimer::singleShot(0, &window, [&] {
        wasModal = window.isVisible() && window.isModal();
        window.hide();
    });
    presenter.showModal(&window);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.windowModality(), Qt::NonModal);

    QDialog dialog;
    QTimer::singleShot(0, &dialog, [&] { dialog.hide(); });
    presenter.showModal(&dialog);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(QtPresenter, AnUnattendedRunShowsNothingThatWaits) {
    ensureApplication();
    QtPresenter presenter;
    presenter.unattended = true;
    QWidget window;
    presenter.showModal(&window);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(presenter.openFileName(nullptr, QStringLiteral("Open"), QString(), QString()), QString());
    EXPECT_EQ(presenter.saveFileName(nullptr, QStringLiteral("Save"), QString(), QString()), QString());
    EXPECT_TRUE(presenter.printDialog(nullptr, nullptr));
}

TEST(TestPresenter, HooksFillAndCloseTheExpectedWindowsInOrder) {
    ensureApplication();
    TestPresenter presenter;
    presenter.strict = true;
    QWidget login;
    login.setObjectName(QStringLiteral("frmLogin"));
    auto* user = new QLineEdit(&login);
    user->setObjectName(QStringLiteral("txtUserId"));
    QWidget options;
    options.setObjectName(QStringLiteral("frmOptions"));
    bool shownDuringHook = false;
    presenter.expectModal(QStringLiteral("frmLogin"), [&](QWidget* w) {
        shownDuringHook = w->isVisible();
        w->findChild<QLineEdit*>(QStringLiteral("txtUserId"))->setText(QStringLiteral("ANN"));
    });
    presenter.expectModal(QStringLiteral("frmOptions"));

    presenter.showModal(&login);
    EXPECT_TRUE(shownDuringHook);
    EXPECT_EQ(user->text(), QStringLiteral("ANN"));
    EXPECT_FALSE(login.isVisible());  // a modal show ends hidden
    EXPECT_THROW(presenter.showModal(&login), UnexpectedWindow);
    presenter.showModal(&options);
    EXPECT_TRUE(presenter.done());
    EXPECT_EQ(presenter.shownNames(), QStringList({"frmLogin", "frmLogin", "frmOptions"}));

    int fallback = 0;
    presenter.onModal = [&](QWidget*) { ++fallback; };
    presenter.showModal(&options);
    EXPECT_EQ(fallback, 1);
    presenter.onModal = {};
    presenter.strict = false;
    presenter.showModal(&options);  // closed at once
    EXPECT_FALSE(options.isVisible());
    EXPECT_EQ(presenter.shownNames().size(), 5);
}

TEST(TestPresenter, DialogsAnswerInOrderThenCancel) {
    TestPresenter presenter;
    presenter.fileAnswers = {QStringLiteral("/tmp/a.spw"), QStringLiteral("/tmp/out")};
    presenter.printAnswers = {false};
    EXPECT_EQ(presenter.openFileName(nullptr, QStringLiteral("Open settings"), {}, {}), QStringLiteral("/tmp/a.spw"));
    EXPECT_EQ(presenter.existingDirectory(nullptr, QStringLiteral("Folder"), {}), QStringLiteral("/tmp/out"));
    EXPECT_EQ(presenter.saveFileName(nullptr, QStringLiteral("Save settings"), {}, {}), QString());
    EXPECT_FALSE(presenter.printDialog(nullptr, nullptr));
    EXPECT_TRUE(presenter.printDialog(nullptr, nullptr));
    EXPECT_EQ(presenter.shownNames(QStringLiteral("open")), QStringList({"Open settings"}));
    EXPECT_EQ(presenter.shownNames(QStringLiteral("print")).size(), 2);
}
