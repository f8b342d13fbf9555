#pragma once
#include <QString>
#include <memory>

#include "ConnectionState.h"
#include "DeliveryTargets.h"
#include "HostLink.h"
#include "RunWindows.h"
#include "SaveDialogFlags.h"
#include "Services.h"

struct DeliveryState;

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
class RunContext {
public:
    RunContext();
    virtual ~RunContext();
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    // The platform's services, the remembered values, where failures go.
    Services services;

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
    HostLink link{services};

    // What the code below the windows asks of the windows (the naming
    // options); a run without windows opens nothing.
    RunWindows& runWindows() { return *runWindows_; }
    void installRunWindows(std::unique_ptr<RunWindows> windows) { runWindows_ = std::move(windows); }

    // The office and e-mail deliveries' state (client/delivery), made on first use.
    std::shared_ptr<DeliveryState> delivery;

private:
    std::unique_ptr<RunWindows> runWindows_ = std::make_unique<RunWindows>();
    // A lost link ends the job port.
    class JobPortReset : public LinkObserver {
    public:
        explicit JobPortReset(ConnectionState& state) : state_(state) {}
        void linkLost() override { state_.gJobPort = 0; }

    private:
        ConnectionState& state_;
    } jobPortReset_{connection};
};
