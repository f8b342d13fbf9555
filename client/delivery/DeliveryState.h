#pragma once
#include <functional>
#include <memory>

struct EmailState;
class MailStandIns;
class OfficeStandIns;
struct OfficeState;
class RunContext;

// What the office and e-mail deliveries keep for the run. The run holds it;
// the deliveries make it on first use.
struct DeliveryState {
    // What the e-mail deliveries keep between reports and for the run.
    // Shared: the mail service's notice may come while the program ends.
    std::shared_ptr<EmailState> emailState;
    // The mail programs of this platform; a download's end hands their open messages to the user.
    std::shared_ptr<MailStandIns> mailStandIns;
    // The office programs of this platform, behind the desktop automation.
    std::shared_ptr<OfficeStandIns> officeStandIns;
    // The WordPro object kept for the run, the Word 6/95 link's limits, the macro fields.
    std::shared_ptr<OfficeState> officeState;
    // Read by the stop sequence: the macro fields were loaded in this run (they are remembered
    // then), the WordPro automation object is held (and how it is let go).
    bool gExcelMacroFormLoaded = false;
    bool gWordMacroFormLoaded = false;
    bool gWordProAppHeld = false;
    std::function<void()> releaseWordProApp;
};

// The run's delivery state, made on first use.
DeliveryState& DeliveryOf(RunContext& ctx);
