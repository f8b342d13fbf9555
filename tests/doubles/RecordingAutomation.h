#pragma once
#include <QStringList>
#include <memory>

#include "Automation.h"

// Test double: programs that a test installs, objects that write every call
// to one log, and scripted answers and errors.
//
// Log lines, in order:
//   CreateObject("excel.application")           GetObject(, "Outlook.application")
//   excel.application.Visible = True            a property set
//   excel.application.ActiveCell.Value          a property get
//   excel.application.Workbooks.Open(FileName:="/w/a.txt")
//   excel.application.Range("A1").Select()      a call on an object that a call returned
//   Release excel.application                   the last reference went
//   DDEInitiate("Winword", "System")  DDEExecute("[FileOpen ...]")  DDETerminate("Winword", "System")
// A failed operation is logged too, followed by " -> error <number>".
//
// Rules match an operation whose path (object name, '.', member) ends with
// the rule's member, without regard to case ("Find" matches
// "word.application.Selection.Find"); the first rule that matches and has uses
// left answers. Top-level operations have the paths "GetObject",
// "CreateObject", "DDEInitiate" and "DDEExecute".
class RecordingAutomation : public Automation {
public:
    RecordingAutomation();
    ~RecordingAutomation() override;

    // The program can be created; with `running` GetObject finds it too.
    RecordingAutomation& install(const QString& progId, bool running = false);
    RecordingAutomation& installDde(const QString& application, const QString& topic);
    // The next `times` matching operations return `value` (-1: every one).
    RecordingAutomation& answer(const QString& member, const QVariant& value, int times = 1);
    // The next `times` matching operations fail with this error.
    RecordingAutomation& fail(const QString& member, int number, const QString& description = {}, int times = 1);
    // Objects returned by a matching object() call get this name in the log.
    RecordingAutomation& name(const QString& member, const QString& objectName, int times = -1);

    std::shared_ptr<AutomationObject> getObject(const QString& progId) override;
    std::shared_ptr<AutomationObject> createObject(const QString& progId) override;
    std::shared_ptr<DdeConversation> ddeInitiate(const QString& application, const QString& topic) override;

    QStringList log() const;
    void clearLog();
    // The log lines that contain `part`.
    QStringList logged(const QString& part) const;
    // How a value appears in the log: "text" quoted (quotes doubled), True/False, Array(0, 1).
    static QString format(const QVariant& v);

    struct State;

private:
    std::shared_ptr<State> state_;
};
