#include "QtMessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <cstdio>

QList<QMessageBox::StandardButton> QtMessageBoxes::buttonsOf(MsgButtons buttons) {
    using B = QMessageBox;
    switch (buttons) {
        case MsgButtons::OKCancel: return {B::Ok, B::Cancel};
        case MsgButtons::AbortRetryIgnore: return {B::Abort, B::Retry, B::Ignore};
        case MsgButtons::YesNoCancel: return {B::Yes, B::No, B::Cancel};
        case MsgButtons::YesNo: return {B::Yes, B::No};
        case MsgButtons::RetryCancel: return {B::Retry, B::Cancel};
        default: return {B::Ok};
    }
}

int QtMessageBoxes::answerOf(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok: return vbOK;
        case QMessageBox::Cancel: return vbCancel;
        case QMessageBox::Abort: return vbAbort;
        case QMessageBox::Retry: return vbRetry;
        case QMessageBox::Ignore: return vbIgnore;
        case QMessageBox::Yes: return vbYes;
        case QMessageBox::No: return vbNo;
        default: return 0;
    }
}

std::unique_ptr<QMessageBox> QtMessageBoxes::build(const QString& text, MsgButtons buttons, MsgIcon icon,
                                                   const QString& title, int defaultButton,
                                                   QWidget* parentWidget) const {
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
        case MsgIcon::Critical: qicon = QMessageBox::Critical; break;
        case MsgIcon::Question: qicon = QMessageBox::Question; break;
        case MsgIcon::Exclamation: qicon = QMessageBox::Warning; break;
        case MsgIcon::Information: qicon = QMessageBox::Information; break;
        default: break;
    }
    auto box = std::make_unique<QMessageBox>(parentWidget);
    box->setIcon(qicon);
    box->setWindowTitle(title.isEmpty() ? appTitle_ : title);
    box->setTextFormat(Qt::PlainText);  // a host text with '<' is not markup
    box->setText(text);
    const auto list = buttonsOf(buttons);
    QMessageBox::StandardButtons set;
    for (auto b : list) set |= b;
    box->setStandardButtons(set);
    const qsizetype index = (defaultButton >= 1 && defaultButton <= list.size()) ? defaultButton - 1 : 0;
    box->setDefaultButton(list[index]);
    if (list.contains(QMessageBox::Cancel))
        box->setEscapeButton(QMessageBox::Cancel);
    else if (list.size() == 1)
        box->setEscapeButton(QMessageBox::Ok);
    return box;
}

int QtMessageBoxes::show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                         int defaultButton) {
    QWidget* p = parent ? parent() : QApplication::activeWindow();
    auto box = build(text, buttons, icon, title, defaultButton, p);
    box->exec();
    QAbstractButton* pressed = box->clickedButton() ? box->clickedButton() : box->escapeButton();
    const int answer = pressed ? answerOf(box->standardButton(pressed)) : 0;
    return answer ? answer : defaultAnswer(buttons, defaultButton);
}
