#pragma once
#include <vector>

#include "MailOutbox.h"

// Keeps every message instead of writing or sending it.
class RecordingMailOutbox : public MailOutbox {
public:
    struct Entry {
        MailMessage message;
        bool sent;
    };
    Result openDraft(const MailMessage& message) override;
    Result send(const MailMessage& message) override;
    std::vector<Entry> entries;
};
