#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include "QtMessageBoxes.h"
#include "TestSupport.h"

namespace {
// Runs `act` on the next message box that opens (polling, bounded).
void onNextBox(std::function<void(QMessageBox*)> act) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box && ++*tries < 500) return;
        timer->stop();
        timer->deleteLater();
        if (box) act(box);
    });
    timer->start(1);
}
}  // namespace

TEST(QtMessageBoxes, ShowsTheAskedButtonsIconDefaultAndTitleAndAnswersWithThePressedButton) {
    ensureApplication();
    struct Case {
        MsgButtons buttons;
        MsgIcon icon;
        int defaultButton;
        QList<QMessageBox::StandardButton> expected;
        QMessageBox::Icon qicon;
        QMessageBox::StandardButton press;
        int answer;
    };
    using B = QMessageBox;
    const Case cases[] = {
        {MsgButtons::OK, MsgIcon::None, 1, {B::Ok}, B::NoIcon, B::Ok, vbOK},
        {MsgButtons::OKCancel, MsgIcon::Exclamation, 2, {B::Ok, B::Cancel}, B::Warning, B::Cancel, vbCancel},
        {MsgButtons::AbortRetryIgnore, MsgIcon::Critical, 2, {B::Abort, B::Retry, B::Ignore}, B::Critical, B::Ignore,
         vbIgnore},
        {MsgButtons::YesNoCancel, MsgIcon::Question, 3, {B::Yes, B::No, B::Cancel}, B::Question, B::Yes, vbYes},
        {MsgButtons::YesNo, MsgIcon::Information, 2, {B::Yes, B::No}, B::Information, B::No, vbNo},
        {MsgButtons::RetryCancel, MsgIcon::Critical, 1, {B::Retry, B::Cancel}, B::Critical, B::Retry, vbRetry},
    };
    QtMessageBoxes boxes(QStringLiteral("iSeries Spoolwright"));
    for (const Case& c : cases) {
        bool seen = false;
        onNextBox([&](QMessageBox* box) {
            seen = true;
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Tolvane"));
            EXPECT_EQ(box->text(), QStringLiteral("File <x> is not found."));
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->icon(), c.qicon);
            QList<QMessageBox::StandardButton> shown;
            for (QAbstractButton* b : box->buttons()) shown << box->standardButton(b);
            EXPECT_EQ(shown.size(), c.expected.size());
            for (auto b : c.expected) EXPECT_TRUE(shown.contains(b));
            EXPECT_EQ(box->defaultButton(), box->button(c.expected[c.defaultButton - 1]));
            box->button(c.press)->click();
        });
        EXPECT_EQ(boxes.show(QStringLiteral("File <x> is not found."), c.buttons, c.icon, QStringLiteral("Tolvane"),
                             c.defaultButton),
                  c.answer);
        EXPECT_TRUE(seen);
    }
}

TEST(QtMessageBoxes, EscapeGivesCancelAndAnEmptyTitleIsTheApplicationsTitle) {
    ensureApplication();
    QtMessageBoxes boxes(QStringLiteral("iSeries Spoolwright"));
    QString title;
    onNextBox([&](QMessageBox* box) {
        title = box->windowTitle();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box, &escape);
    });
    EXPECT_EQ(boxes.show(QStringLiteral("Replace?"), MsgButtons::OKCancel, MsgIcon::Exclamation, QString(), 1), vbCancel);
    EXPECT_EQ(title, QStringLiteral("iSeries Spoolwright"));
}

TEST(BatchMessageBoxes, WritesTitleAndTextAndAnswersTheDefaultButton) {
    QStringList lines;
    BatchMessageBoxes boxes([&](const QString& l) { lines << l; });
    EXPECT_EQ(boxes.show(QStringLiteral("Replace?"), MsgButtons::OKCancel, MsgIcon::Exclamation, QStringLiteral("Save"), 2),
              vbCancel);
    EXPECT_EQ(boxes.show(QStringLiteral("Error number: 7\r\nDescription: x"), MsgButtons::YesNo, MsgIcon::Critical,
                         QStringLiteral("Tolvane")),
              vbYes);
    EXPECT_EQ(lines, QStringList({QStringLiteral("Save: Replace?"), QStringLiteral("Tolvane: Error number: 7\nDescription: x")}));
}

// A report's name from the host may hold an escape sequence: the terminal
// that shows the message must not act on it.
TEST(BatchMessageBoxes, ShowsControlCharactersAsQuestionMarks) {
    QStringList lines;
    BatchMessageBoxes boxes([&](const QString& l) { lines << l; });
    boxes.show(QString::fromUtf8("INV\x1b[2JOICE\tis\x7f gone\xc2\x9b\r\nnext line\rback"), MsgButtons::OK,
               MsgIcon::None, QStringLiteral("Tolvane"));
    EXPECT_EQ(lines, QStringList{QStringLiteral("Tolvane: INV?[2JOICE?is? gone?\nnext line?back")});
}
