#pragma once
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

#include "Automation.h"

class DesktopAutomation;
class ProcessStarter;

// What the office stand-ins need from the desktop they run on.
struct StandInDesk {
    // Starts the opener that shows a file to the user.
    std::function<ProcessStarter*()> processes;
    // Where a visible program puts a document it shows without its having been
    // saved (the opened report of Lotus 1-2-3 or WordPro, an unsaved Word document).
    std::function<QString()> documentsFolder;
    QString opener = QStringLiteral("xdg-open");
    // True while nobody watches (a batch run): no document is shown; one that
    // nobody saved is still written where it would have been shown, and told here.
    std::function<bool()> unattended;
    std::function<void(const QString& copy)> keptUnshown;
    // The date and time of day put on the documents saved; unset: the system's.
    std::function<QDateTime()> now;
    QDateTime timeOfDay() const { return now ? now() : QDateTime::currentDateTime(); }
};

// Where a program shows a document that no one saved: in the desk's folder
// for them (made private to the user), named after `source`, never the name
// of a copy shown before.
QString UnsavedCopyPath(const StandInDesk& desk, const QString& source, const QString& extension);

// The office programs of this platform: small programs of our own that serve
// the automation identifiers of the office deliveries and write real files.
// - "excel.application" and "Lotus123.Workbook": a spreadsheet that opens the
//   text as asked, deletes rows, adds manual page breaks, fits columns and
//   saves .xlsx;
// - "word.application" and "WordPro.Application": a word processor that sets
//   the font, turns found text into page breaks and saves OpenDocument text
//   (.odt, whatever extension was asked for).
// A program made visible shows its open documents to the user (through the
// opener) when the delivery lets go of it; WordPro when its window is
// minimised. Macros cannot run: every macro call fails with
// OfficeMacros::kUnavailable.
class OfficeStandIns {
public:
    explicit OfficeStandIns(StandInDesk desk);
    ~OfficeStandIns();
    // Serves the four identifiers, and the "Winword|System" conversation of
    // the word-processor stand-in program over its local socket.
    void registerWith(DesktopAutomation& automation);

    // The automation objects, for a backend of one's own (tests).
    std::shared_ptr<AutomationObject> running(const QString& progId);
    std::shared_ptr<AutomationObject> create(const QString& progId);
    // The user closes the WordPro window: its objects answer with error 462 from now on.
    void closeWordPro();

    struct State;

private:
    std::shared_ptr<State> state_;
};

// The identifier of an error that a closed program gives to every call.
constexpr int kServerUnavailable = 462;
