#pragma once
#include <QMessageBox>
#include <functional>
#include <memory>

#include "MessageBoxes.h"

// Message boxes on the screen: QMessageBox with the buttons, icon, default
// button and title of the described box; the text is always plain text.
class QtMessageBoxes : public MessageBoxes {
public:
    // `appTitle` is the title of a box whose title is empty.
    explicit QtMessageBoxes(QString appTitle = {}) : appTitle_(std::move(appTitle)) {}
    int show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
             int defaultButton = 1) override;
    // The parent of the boxes (the active window when unset).
    std::function<QWidget*()> parent;

    std::unique_ptr<QMessageBox> build(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                                       int defaultButton, QWidget* parentWidget = nullptr) const;
    // The box's buttons in the described order (first = default button 1).
    static QList<QMessageBox::StandardButton> buttonsOf(MsgButtons buttons);
    // vbOK .. vbNo for a pressed button; 0 for none.
    static int answerOf(QMessageBox::StandardButton button);

private:
    QString appTitle_;
};
