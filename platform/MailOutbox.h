#pragma once
#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

#include "MailMessage.h"
#include "SmtpSender.h"

class ProcessStarter;

// The two ways a message leaves the program: as a draft that the user opens,
// addresses and sends in the desktop's mail program, or submitted at once.
class MailOutbox {
public:
    struct Result {
        QString error;      // empty on success
        QString draftPath;  // the draft written (a send that failed: the message kept)
        bool opened = false;  // handed to the desktop's mail program
        bool ok() const { return error.isEmpty(); }
    };
    virtual ~MailOutbox() = default;
    virtual Result openDraft(const MailMessage& message) = 0;
    // A message that does not go is kept as a draft (draftPath), unless that fails too.
    virtual Result send(const MailMessage& message) = 0;
};

// Drafts as RFC 5322 files (X-Unsent: 1, attachments embedded) in a per-user
// folder, opened with xdg-open; sending over SMTP to the configured server.
class MailService : public MailOutbox {
public:
    QString draftsFolder;
    // Starts xdg-open; unset: drafts are only written.
    std::function<ProcessStarter*()> starter;
    // False in a batch run or without a desktop: the draft is only written.
    std::function<bool()> canOpen;
    // Read at each send, so that changed settings count at once.
    std::function<SmtpConfig()> config;
    // Told the path of every draft that was written but not opened.
    std::function<void(const QString& draftPath)> notice;
    // Called while a message goes: lets the windows answer; false stops the send.
    std::function<bool()> whileSending;
    // The date and time of day of the messages and the drafts' names; unset: the system's.
    std::function<QDateTime()> now;

    Result openDraft(const MailMessage& message) override;
    Result send(const MailMessage& message) override;
    // A display to open windows on (X11 or Wayland).
    static bool haveDesktop();

private:
    Result writeDraft(const MailMessage& message);
    QDateTime timeOfDay() const;
};
