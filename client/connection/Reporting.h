#pragma once
#include <QString>
#include <functional>
#include <optional>
#include <utility>

#include "MessageBoxes.h"

struct RunMode;

// A failure as a value: what the user is told, with the number it has (0:
// none), the box's title and icon. The libraries below the windows hand it to
// the run's Reporter; where it goes (a box, standard error, a test's record)
// is the reporter's business.
struct Failure {
    QString text;
    MsgIcon icon = MsgIcon::None;
    QString title = QStringLiteral("Tolvane");
    int number = 0;
    // A refusal that a run over a whole queue does not show: it only becomes
    // the report's reason.
    bool quietInQueueRun = false;
    // The word that the user's own cancel took effect: a program that is
    // closing puts it on its status line, with nobody left to answer a box.
    bool cancelNotice = false;
};

// What a step of a run came to, as a value: done, or stopped, with the
// failure the user is to be told of. A stop without one needs no telling (a
// cancel, or a stop the user has been told of on the way). Whoever receives
// it hands the failure to the run's reporter.
struct Outcome {
    bool done = false;
    std::optional<Failure> failure;

    static Outcome Done() { return {true, std::nullopt}; }
    static Outcome Stopped() { return {}; }
    static Outcome Failed(Failure f) { return {false, std::move(f)}; }
    explicit operator bool() const { return done; }
};

// A question the user answers (Yes/No and the like), as its box would ask it.
struct Question {
    QString text;
    MsgButtons buttons = MsgButtons::YesNo;
    MsgIcon icon = MsgIcon::None;
    QString title = QStringLiteral("Tolvane");
    int defaultButton = 1;  // 1-based
    // The default button when nobody watches (0: the same). A question whose
    // first answer would ask again has another, so that such a run ends.
    int unattendedButton = 0;
};

class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void report(const Failure& failure) = 0;
};

// Answers with the MsgAnswer of the button chosen.
class Asker {
public:
    virtual ~Asker() = default;
    virtual int ask(const Question& question) = 0;
    // Nobody is there to answer (a run nobody watches): questions take their
    // unattended button, and what would ask again must end instead.
    virtual bool nobodyAnswers() const = 0;
};

// Where a box goes when one comes: the message boxes in use then (a test may
// put others in after the reporter is made); null: none.
using BoxesInUse = std::function<MessageBoxes*()>;

// Failures as message boxes: at the window on the windows' boxes, in tests on
// the scripted ones (which record them), on standard error through
// BatchMessageBoxes. With a run mode, a failure quiet in a queue run is not
// shown while the run delivers a whole queue.
class MessageBoxReporter : public Reporter {
public:
    explicit MessageBoxReporter(BoxesInUse boxes, const RunMode* mode = nullptr)
        : boxes_(std::move(boxes)), mode_(mode) {}
    void report(const Failure& failure) override;

private:
    BoxesInUse boxes_;
    const RunMode* mode_;
};

// Questions as message boxes; with no boxes, the default button answers.
// `unattended` says whether nobody watches the run now (unset: somebody does).
class MessageBoxAsker : public Asker {
public:
    explicit MessageBoxAsker(BoxesInUse boxes, std::function<bool()> unattended = {})
        : boxes_(std::move(boxes)), unattended_(std::move(unattended)) {}
    int ask(const Question& question) override;
    bool nobodyAnswers() const override { return unattended_ && unattended_(); }

private:
    BoxesInUse boxes_;
    std::function<bool()> unattended_;
};

// Shows a box on `boxes`, or writes "title: text" on standard error when there
// are none; the answer is the box's (or its default button's).
int ShowBox(MessageBoxes* boxes, const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
            int defaultButton);
