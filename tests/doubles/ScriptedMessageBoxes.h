#pragma once
#include <QString>
#include <QStringList>
#include <deque>
#include <stdexcept>

#include "MessageBoxes.h"

// Test double: a script of the boxes a test expects, each with its answer.
// A box that the script does not expect throws, so the test fails at the spot.
struct UnexpectedMessageBox : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ScriptedMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        QString text, title;
        MsgButtons buttons;
        MsgIcon icon;
        int answer;
    };
    // Expects a box whose text contains `textPart`; answers `answer`.
    ScriptedMessageBoxes& expect(const QString& textPart, int answer = vbOK);
    // Answers every box with its default button instead of failing.
    bool answerAllWithDefault = false;

    int show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
             int defaultButton) override;
    const std::vector<Shown>& shown() const { return shown_; }
    QStringList texts() const;
    bool done() const { return script_.empty(); }

private:
    std::deque<std::pair<QString, int>> script_;
    std::vector<Shown> shown_;
};
