#pragma once
#include <QString>
#include <functional>

// The system's message boxes: buttons, icons and answers keep the described
// numbers (vbOK = 1 ... vbNo = 7) so that handlers compare with them.
enum class MsgButtons { OK = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5 };
enum class MsgIcon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum MsgAnswer { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // defaultButton is 1-based, as described (1 = first button).
    virtual int show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                     int defaultButton = 1) = 0;
    // The answer that the default button gives for these buttons.
    static int defaultAnswer(MsgButtons buttons, int defaultButton = 1);
};

// Message boxes of an unattended run: "title: text" on standard error, answered
// with the default button. Control characters (a host's or a command line's
// text may hold an escape sequence) are shown as "?"; line ends stay.
class BatchMessageBoxes : public MessageBoxes {
public:
    // `write` receives each line (default: standard error).
    explicit BatchMessageBoxes(std::function<void(const QString&)> write = {}) : write_(std::move(write)) {}
    int show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
             int defaultButton = 1) override;

private:
    std::function<void(const QString&)> write_;
};

// A text for a terminal: every control character but the line feed as "?".
QString PrintableText(const QString& text);
