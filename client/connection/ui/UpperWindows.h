#pragma once
#include <QString>
#include <memory>
#include <optional>

#include "OfficeDelivery.h"
#include "ProcessType.h"
#include "Reporting.h"

class AppContext;
class SplfScreenApi;

// A macro dialog's fields as the user left them: the file that holds the
// macros (Excel's sheet, Word's document) and the macro's name.
struct MacroFields {
    QString document, name;
};

// A save-as dialog's fields: the name in its box and the folder its file
// dialog opens in.
struct SaveDialogFields {
    QString name, folder;
};

// What the main window's layer asks of the windows above it: the spooled-file
// screen it makes on first use, the File menu's settings files, the connect of
// "Auto connect", and what the stop sequence remembers of the dialogs up there. These defaults are a program without those windows (the
// widgetless screen, no settings files, no dialogs); the program's start-up
// installs the spooled-file screen's layer (installWindows), tests their own.
class UpperWindows {
public:
    explicit UpperWindows(AppContext& ctx) : ctx_(ctx) {}
    virtual ~UpperWindows() = default;
    UpperWindows(const UpperWindows&) = delete;
    UpperWindows& operator=(const UpperWindows&) = delete;

    virtual std::unique_ptr<SplfScreenApi> makeSplfScreen();
    // ConnectToHost.
    virtual Outcome autoConnect();
    // File > Open and File > Save (As): done, or stopped when nothing was
    // loaded or saved (the user has been told why).
    virtual Outcome openSettingsFile(const QString& path);
    virtual Outcome saveSettingsFile(const QString& path, bool replaceWithoutAsking);
    // Nothing when this program has no such dialog; empty fields for one not
    // loaded in this run.
    virtual std::optional<SaveDialogFields> saveDialogFields(SaveDialogKind dialog) const;
    virtual std::optional<MacroFields> macroFields(MacroProgram program) const;

protected:
    AppContext& ctx_;
};
