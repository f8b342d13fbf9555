#include "Reporting.h"

#include <cstdio>

#include "ConnectionState.h"

int ShowBox(MessageBoxes* boxes, const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
            int defaultButton) {
    if (boxes) return boxes->show(text, buttons, icon, title, defaultButton);
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    return MessageBoxes::defaultAnswer(buttons, defaultButton);
}

void MessageBoxReporter::report(const Failure& failure) {
    if (failure.quietInQueueRun && mode_ && mode_->gBatchNoDialogs) return;
    ShowBox(boxes_ ? boxes_() : nullptr, failure.text, MsgButtons::OK, failure.icon, failure.title, 1);
}

int MessageBoxAsker::ask(const Question& question) {
    const bool nobody = question.unattendedButton != 0 && nobodyAnswers();
    return ShowBox(boxes_ ? boxes_() : nullptr, question.text, question.buttons, question.icon, question.title,
                   nobody ? question.unattendedButton : question.defaultButton);
}
