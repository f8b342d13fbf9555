#pragma once
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <stdexcept>

// A failed automation or DDE call: the error number and description the
// callers show and test (429 no such program, 282 no DDE answer, 7063 ...).
struct AutomationError : std::runtime_error {
    AutomationError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number(number), description(description) {}
    int number;
    QString description;
};

class AutomationObject;

// One argument of a late-bound call: named ("FileName:=...") when `name` is
// set, else positional; a positional argument with neither value nor object is
// omitted (", ,").
struct AutoArg {
    QString name;
    QVariant value;
    std::shared_ptr<AutomationObject> object;
    AutoArg() = default;
    AutoArg(const QVariant& v) : value(v) {}
    AutoArg(const QString& v) : value(v) {}
    AutoArg(const char* v) : value(QString::fromUtf8(v)) {}
    AutoArg(int v) : value(v) {}
    AutoArg(double v) : value(v) {}
    AutoArg(bool v) : value(v) {}
    AutoArg(const QString& n, const QVariant& v) : name(n), value(v) {}
    // An object as the argument ("After:=ActiveCell").
    static AutoArg of(const QString& n, std::shared_ptr<AutomationObject> o) {
        AutoArg a;
        a.name = n;
        a.object = std::move(o);
        return a;
    }
    static AutoArg omitted() { return {}; }
};
using AutoArgs = QList<AutoArg>;

// An object of another program, reached by late binding. A member may be a
// dotted path through sub-objects ("Workbooks.OpenText", "Selection.Font.Size").
// Every operation throws AutomationError when the program reports an error.
class AutomationObject {
public:
    virtual ~AutomationObject() = default;
    virtual QVariant call(const QString& member, const AutoArgs& args = {}) = 0;
    // A method or property whose result is an object (CreateItem, Range("A1")).
    virtual std::shared_ptr<AutomationObject> object(const QString& member, const AutoArgs& args = {}) = 0;
    virtual QVariant get(const QString& property) = 0;
    virtual void set(const QString& property, const QVariant& value) = 0;
};

// A DDE client conversation (application|topic) that takes command strings
// and answers requests for its items.
class DdeConversation {
public:
    virtual ~DdeConversation() = default;
    virtual void execute(const QString& command) = 0;
    // The value of an item; throws AutomationError (285) for one the program does not serve.
    virtual QString request(const QString& item) {
        throw AutomationError(285, QStringLiteral("Foreign application won't perform DDE method or operation: ") + item);
    }
};

// Automation servers and DDE programs of the machine (OLE automation of the
// office and mail programs).
class Automation {
public:
    static constexpr int kCannotCreateObject = 429;
    static constexpr int kNoDdeAnswer = 282;
    virtual ~Automation() = default;
    // The running instance of the program (GetObject without a file); throws 429 when none runs.
    virtual std::shared_ptr<AutomationObject> getObject(const QString& progId) = 0;
    // A new instance (CreateObject); throws 429 when the program is not available.
    virtual std::shared_ptr<AutomationObject> createObject(const QString& progId) = 0;
    // Opens a conversation; throws 282 when no program answers.
    virtual std::shared_ptr<DdeConversation> ddeInitiate(const QString& application, const QString& topic) = 0;
};
