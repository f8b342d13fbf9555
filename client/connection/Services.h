#pragma once
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "Automation.h"
#include "Clock.h"
#include "FtpScriptRunner.h"
#include "HostSocket.h"
#include "Keyboard.h"
#include "MachineRegistry.h"
#include "MessageBoxes.h"
#include "Paths.h"
#include "Presenter.h"
#include "Printer.h"
#include "ProcessStarter.h"
#include "ProgramVersion.h"
#include "Reporting.h"
#include "SafeOutputFile.h"
#include "SettingKeys.h"
#include "SettingValues.h"
#include "SettingsStore.h"

// "End the program": thrown after the steps the program names; the executable
// turns it into its exit status, tests catch it.
struct ProgramEnd {
    int exitStatus;
    QString reason;
};

// The platform services of one run and the helpers every layer uses on them
// (settings, message boxes, the end of the program). The desktop program puts
// the real ones in; tests put doubles. Replaceable before first use.
class Services {
public:
    // Failures and questions go to the message boxes in use until a run puts others in.
    Services();
    virtual ~Services() = default;
    Services(const Services&) = delete;
    Services& operator=(const Services&) = delete;

    static constexpr const char* kAppTitle = "iSeries Spoolwright";
    static constexpr const char* kSection = "Settings";

    std::unique_ptr<Clock> clock;
    std::unique_ptr<MessageBoxes> msg;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<MachineRegistry> machineRegistry;
    std::unique_ptr<Presenter> presenter;
    std::unique_ptr<ProcessStarter> processes;
    std::unique_ptr<Paths> paths;
    std::function<std::unique_ptr<HostSocket>()> makeSocket;
    std::unique_ptr<Keyboard> keyboard;
    std::unique_ptr<Automation> automation;
    std::unique_ptr<Printer> printer;
    // Runs FTP command scripts (the server start) in place of ftp.exe.
    std::unique_ptr<FtpScriptRunner> ftp;
    ProgramVersion version;
    // The date and time of day a run puts on what it writes (the documents, a
    // settings file's save time, the batch run's start): the system's unless
    // a test sets one. Waits and time-outs go by `clock` instead.
    std::function<QDateTime()> wallClock;
    QDateTime now() const;
    // The folders this run's downloads write in, tidied by `now()`.
    SafeOutputFile::Folders outputFolders;
    // Where failures and questions go: the windows show them, an unattended
    // run writes them on standard error, tests record them.
    std::unique_ptr<Reporter> reporter;
    std::unique_ptr<Asker> asker;

    // Remembered values of this program, section "Settings"; default "None".
    QString getSetting(const QString& key, const QString& def = QString::fromLatin1(kNotStored));
    void saveSetting(const QString& key, const QString& value);
    // The same by an entry of the key table (SettingKeys.h).
    QString getSetting(const SettingKey& key, const QString& def = QString::fromLatin1(kNotStored));
    // The sign-on's user and password: kNotKept when never stored; saveNotKept
    // stores the password so when it is not to be kept.
    QString getKept(const SettingKey& key);
    void saveNotKept(const SettingKey& key);
    void saveSetting(const SettingKey& key, const QString& value);
    void removeSetting(const SettingKey& key);
    // A truth entry as it is stored, "True" or "False".
    void saveTruth(const SettingKey& key, bool value);
    // A number entry as it is stored.
    void saveNumber(const SettingKey& key, int value);
    // Fills in a value not set or blank: the entry's first-start value, or the one given.
    void seedSetting(const SettingKey& key);
    void seedSetting(const SettingKey& key, const QString& value);
    // The file of this program's remembered values ("" when they are in none).
    QString settingsFileName() const;
    void report(const Failure& failure);
    int ask(const Question& question);
    bool nobodyAnswers() const { return asker && asker->nobodyAnswers(); }
    // MsgBox with the described argument order (the windows' own boxes).
    int msgBox(const QString& text, MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None,
               const QString& title = QStringLiteral("Tolvane"), int defaultButton = 1);
    // Ends the program (throws ProgramEnd).
    [[noreturn]] void endProgram(int status, const QString& reason = {});
    // Runs a window's event handler: nothing it throws crosses the event loop.
    // A ProgramEnd goes to endInEvent (the executable ends the process there)
    // or, when that is unset (tests), is kept in programEnded; anything else is
    // reported and the program goes on.
    void runHandler(const std::function<void()>& handler);
    std::function<void(const ProgramEnd&)> endInEvent;
    std::optional<ProgramEnd> programEnded;
    // Exit status of the stop sequence's end (a batch run sets what happened).
    int stopExitStatus = 0;
};
