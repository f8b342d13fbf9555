#include "RecordingMailOutbox.h"

MailOutbox::Result RecordingMailOutbox::openDraft(const MailMessage& message) {
    entries.push_back({message, false});
    return {};
}

MailOutbox::Result RecordingMailOutbox::send(const MailMessage& message) {
    entries.push_back({message, true});
    return {};
}
