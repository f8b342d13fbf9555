#pragma once
#include <QString>
#include <functional>
#include <memory>

#include "ConnectionState.h"
#include "DeliveryTargets.h"
#include "HostLink.h"
#include "SaveDialogFlags.h"
#include "Services.h"

struct EmailState;
class MailStandIns;
class OfficeStandIns;
struct OfficeState;

// The state of the download layer and of the download control that the
// download procedures read: the run's counts, why a report failed.
struct DownloadState {
    bool gMinusSignApplicable = false;
    qint32 gSelectedCount = 0;
    bool gSettingsFromFile = false;
    QString gBatchFileName;
    QString gFullViewFile;
    // Why the report being delivered failed: the first message its delivery
    // showed, or the refusal that a whole-queue batch run does not show.
    QString gFailureReason;
    // What a delivered report's user must know besides where it went (page
    // breaks a worksheet could not hold).
    QString gDeliveryNote;
    bool gMailStarted = false;
};

// The run below the windows: the services, the link to the host and the
// state of the subsystems, each apart. Download procedures take this (or
// less); the windows' registry, AppContext, adds the windows on top.
class RunContext : public Services {
public:
    RunContext();
    ~RunContext() override;

    // The host connection's state, the main window's values and the work folder.
    ConnectionState connection;
    // Whether the run is unattended.
    RunMode mode;
    // The download layer's state for the run.
    DownloadState download;
    // What the save-as dialogs were answered, by format.
    SaveDialogFlags saveDialogs;
    // The delivery programs found on this PC (by the spooled-file screen's load).
    DeliveryTargets targets;

    // The socket, the received bytes, the cancel request and the busy mark.
    HostLink link{*this};

    // The naming options window, opened by a download procedure after a
    // "path not found" so that the user can pick another folder (unset: nothing
    // opens). The argument is "FullName" as remembered.
    std::function<void(const QString& fullName)> showNamingOptions;

    // The office and e-mail deliveries' own parts (client/delivery), made on first use.
    // What the e-mail deliveries keep between reports and for the run.
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

private:
    // A lost link ends the job port.
    class JobPortReset : public LinkObserver {
    public:
        explicit JobPortReset(ConnectionState& state) : state_(state) {}
        void linkLost() override { state_.gJobPort = 0; }

    private:
        ConnectionState& state_;
    } jobPortReset_{connection};
};
