#include "ScriptedMessageBoxes.h"

ScriptedMessageBoxes& ScriptedMessageBoxes::expect(const QString& textPart, int answer) {
    script_.emplace_back(textPart, answer);
    return *this;
}

int ScriptedMessageBoxes::show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                               int defaultButton) {
    int answer;
    if (!script_.empty() && text.contains(script_.front().first)) {
        answer = script_.front().second;
        script_.pop_front();
    } else if (answerAllWithDefault) {
        answer = defaultAnswer(buttons, defaultButton);
    } else {
        shown_.push_back({text, title, buttons, icon, -1});
        throw UnexpectedMessageBox(("unexpected message box: " + title + ": " + text).toStdString());
    }
    shown_.push_back({text, title, buttons, icon, answer});
    return answer;
}

QStringList ScriptedMessageBoxes::texts() const {
    QStringList out;
    for (const Shown& s : shown_) out << s.text;
    return out;
}
