#include "MailStandIns.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>

#include "Codec.h"
#include "MemoryMachineRegistry.h"
#include "SendKeys.h"

namespace {
[[noreturn]] void refuse(const QString& where, const QString& what) {
    throw KeysError((where + QStringLiteral(" does not take ") + what).toStdString());
}

// One key of a key string: a typed character or a command ("%F", "+{TAB}").
struct Token {
    QString typed;
    QString command;
};

std::vector<Token> tokens(const QString& keys) {
    static const QMap<int, QString> names = {
        {Qt::Key_Tab, QStringLiteral("{TAB}")},     {Qt::Key_Return, QStringLiteral("{ENTER}")},
        {Qt::Key_End, QStringLiteral("{END}")},     {Qt::Key_Home, QStringLiteral("{HOME}")},
        {Qt::Key_Right, QStringLiteral("{RIGHT}")}, {Qt::Key_Left, QStringLiteral("{LEFT}")},
    };
    std::vector<Token> out;
    for (const KeyStroke& k : SendKeys::parse(keys)) {
        if (!k.text.isEmpty()) {
            out.push_back({k.text, {}});
            continue;
        }
        QString c;
        if (k.modifiers & Qt::ShiftModifier) c += QLatin1Char('+');
        if (k.modifiers & Qt::ControlModifier) c += QLatin1Char('^');
        if (k.modifiers & Qt::AltModifier) c += QLatin1Char('%');
        c += names.value(k.key, k.key < 0x80 ? QString(QChar(k.key)).toUpper() : QStringLiteral("{?}"));
        out.push_back({{}, c});
    }
    return out;
}

bool isLetter(const Token& t, char c) { return t.typed.compare(QString(QLatin1Char(c)), Qt::CaseInsensitive) == 0; }
QString show(const Token& t) { return t.typed.isEmpty() ? t.command : QStringLiteral("\"") + t.typed + QLatin1Char('"'); }

// What a program answers when the mail layer did not send a message.
constexpr int kNotSent = -2147467259;

AutomationError noSuchMember(const QString& object, const QString& member) {
    return AutomationError(438, QStringLiteral("Object doesn't support this property or method (%1.%2)").arg(object, member));
}

QString baseName(const QString& program) {
    const qsizetype cut = std::max(program.lastIndexOf(QLatin1Char('/')), program.lastIndexOf(QLatin1Char('\\')));
    return program.mid(cut + 1);
}
}  // namespace

// ---------------------------------------------------------------- windows --

struct MailStandIns::State {
    std::shared_ptr<MailOutbox> outbox;
    std::function<void(const QString&)>* onProblem = nullptr;
    QStringList log;
    qint64 nextTask = 7001;
    struct Window;
    std::vector<std::shared_ptr<Window>> windows;
    std::weak_ptr<AutomationObject> outlook;  // the running Outlook

    void problem(const QString& text) {
        if (onProblem && *onProblem) (*onProblem)(text);
    }
    // An unsent message is handed to the user. Called from destructors too:
    // nothing may leave it.
    bool present(const MailMessage& m) noexcept {
        try {
            const MailOutbox::Result r = outbox->openDraft(m);
            if (!r.ok()) problem(r.error);
            return r.ok();
        } catch (...) {
            return false;
        }
    }
    // A message that does not go has been kept as a draft by the mail layer.
    void send(const QString& where, const MailMessage& m) {
        const MailOutbox::Result r = outbox->send(m);
        if (r.ok()) return;
        KeysError e((where + QStringLiteral(": the message was not sent. ") + r.error).toStdString());
        e.number = kNotSent;
        throw e;
    }
    std::shared_ptr<Window> find(const std::function<bool(Window&)>& match);
};

// A compose window of one of the programs that take keys.
struct MailStandIns::State::Window {
    enum Mode { Fields, MenuFile, MenuFileAttach, MenuInsert, MenuActions, AttachPath, TextPath, ConfirmSend };
    State* state;
    qint64 task = 0;
    QString program;
    Mode mode = Fields;
    QString path;          // typed into the file dialog
    MailMessage message;
    bool closed = false;
    virtual ~Window() = default;
    virtual QString title() const = 0;
    virtual void key(const Token& t) = 0;

    void keys(const QString& keyString) {
        state->log << QStringLiteral("keys %1: %2").arg(title(), keyString);
        for (const Token& t : tokens(keyString)) key(t);
    }
    [[noreturn]] void wrong(const Token& t) {
        static const char* const modes[] = {"its text", "the File menu", "the Attach menu", "the Insert menu",
                                            "the Actions menu", "the file dialog", "the file dialog", "the send question"};
        refuse(program + QStringLiteral(" (") + QLatin1String(modes[mode]) + QLatin1Char(')'), show(t));
    }
    void attach() {
        if (!QFileInfo(path).isFile()) throw KeysError((program + QStringLiteral(": no file ") + path).toStdString());
        message.attachments.push_back({path, {}});
        path.clear();
        mode = Fields;
    }
    // Typing into the file dialog; true when the token was that.
    bool dialogTyping(const Token& t) {
        if ((mode != AttachPath && mode != TextPath) || t.typed.isEmpty()) return false;
        path += t.typed;
        return true;
    }
    void close() {
        if (closed) return;
        closed = true;
        state->present(message);
    }
};

std::shared_ptr<MailStandIns::State::Window> MailStandIns::State::find(const std::function<bool(Window&)>& match) {
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (!(*it)->closed && match(**it)) return *it;
    return nullptr;
}

namespace {
using Window = MailStandIns::State::Window;

struct NetscapeWindow : Window {
    QString title() const override { return QStringLiteral("Composition"); }
    void key(const Token& t) override {
        if (dialogTyping(t)) return;
        if (mode == Fields && t.command == QLatin1String("%F")) mode = MenuFile;
        else if (mode == MenuFile && isLetter(t, 'H')) mode = MenuFileAttach;
        else if (mode == MenuFileAttach && isLetter(t, 'F')) mode = AttachPath;
        else if (mode == AttachPath && t.command == QLatin1String("{ENTER}")) attach();
        else wrong(t);
    }
};

struct OutlookExpressWindow : Window {
    enum Field { To, Cc, Subject, Text, FieldCount };
    int focus = To;
    QString fields[FieldCount];
    QString title() const override {
        return fields[Subject].isEmpty() ? QStringLiteral("New Message") : fields[Subject];
    }
    void key(const Token& t) override {
        if (dialogTyping(t)) return;
        const QString& c = t.command;
        switch (mode) {
        case Fields:
            if (!t.typed.isEmpty()) fields[focus] += t.typed;
            else if (c == QLatin1String("{TAB}")) focus = (focus + 1) % FieldCount;
            else if (c == QLatin1String("+{TAB}")) focus = (focus + FieldCount - 1) % FieldCount;
            else if (c == QLatin1String("{ENTER}") && focus == Text) fields[Text] += QLatin1Char('\n');
            else if (c == QLatin1String("%I")) mode = MenuInsert;
            else if (c == QLatin1String("%F")) mode = MenuFile;
            else wrong(t);
            return;
        case MenuInsert:
            if (isLetter(t, 'A')) mode = AttachPath;
            else if (isLetter(t, 'T')) mode = TextPath;
            else wrong(t);
            return;
        case MenuFile:
            if (!isLetter(t, 'E')) wrong(t);
            mode = Fields;
            sendNow();
            return;
        case AttachPath:
            if (c != QLatin1String("%A") && c != QLatin1String("{ENTER}")) wrong(t);
            attach();
            return;
        case TextPath: {
            if (c != QLatin1String("%O") && c != QLatin1String("{ENTER}")) wrong(t);
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly)) throw KeysError((program + QStringLiteral(": no file ") + path).toStdString());
            fields[Text] += Codec::toUnicode(f.readAll().toStdString());
            path.clear();
            mode = Fields;
            return;
        }
        default:
            wrong(t);
        }
    }
    void fill() {
        message.to = MailMessage::splitAddresses(fields[To]);
        message.cc = MailMessage::splitAddresses(fields[Cc]);
        message.subject = fields[Subject];
        message.body = fields[Text];
    }
    void sendNow() {
        fill();
        closed = true;  // sent, or kept by the mail layer
        state->send(program, message);
    }
};

struct NotesMemo : Window {
    enum Stop { To, Cc, Bcc, Subject, Body, ActionBar, AttachmentBar };
    int focus = To;
    QString fields[5];
    qsizetype caret = 0;  // in the Body
    bool sent = false;
    QString title() const override { return QStringLiteral("Lotus Notes"); }
    void type(const QString& text) {
        if (focus > Body) refuse(program + QStringLiteral(" (a bar of the memo)"), QStringLiteral("typing"));
        if (focus == Body) {
            fields[Body].insert(caret, text);
            caret += text.size();
        } else {
            fields[focus] += text;
        }
    }
    void key(const Token& t) override {
        if (dialogTyping(t)) return;
        const QString& c = t.command;
        switch (mode) {
        case Fields:
            if (!t.typed.isEmpty()) type(t.typed);
            else if (c == QLatin1String("{TAB}") && focus < Body) ++focus;
            else if (c == QLatin1String("+{TAB}")) focus = shiftTab();
            else if (c == QLatin1String("{ENTER}") && focus == Body) type(QStringLiteral("\n"));
            else if (c == QLatin1String("^{END}")) caret = fields[Body].size();
            else if (c == QLatin1String("^{HOME}")) caret = 0;
            else if (c == QLatin1String("{RIGHT}")) caret = std::min(caret + 1, fields[Body].size());
            else if (c == QLatin1String("%F")) mode = MenuFile;
            else if (c == QLatin1String("%A")) mode = MenuActions;
            else wrong(t);
            return;
        case MenuFile:
            if (!isLetter(t, 'A')) wrong(t);
            mode = AttachPath;
            return;
        case AttachPath:
            if (c != QLatin1String("%R")) wrong(t);
            attach();
            return;
        case MenuActions:
            if (!isLetter(t, 'S')) wrong(t);
            mode = ConfirmSend;
            return;
        case ConfirmSend:
            if (c != QLatin1String("{ENTER}")) wrong(t);
            mode = Fields;
            fill();
            sent = closed = true;  // sent, or kept by the mail layer
            state->send(program, message);
            return;
        default:
            wrong(t);
        }
    }
    int shiftTab() const {
        switch (focus) {
        case To: return ActionBar;
        case ActionBar: return Body;
        case Body: return AttachmentBar;
        case AttachmentBar: return To;
        default: return focus - 1;
        }
    }
    void fill() {
        message.to = MailMessage::splitAddresses(fields[To]);
        message.cc = MailMessage::splitAddresses(fields[Cc]) + MailMessage::splitAddresses(fields[Bcc]);
        message.subject = fields[Subject];
        message.body = fields[Body];
    }
};

std::shared_ptr<Window> makeWindow(MailStandIns::State& s, const QString& program, const QStringList& args) {
    const QString name = baseName(program).toLower();
    std::shared_ptr<Window> w;
    if (name == QLatin1String(MailStandIns::kNetscapeProgram)) {
        if (args.value(0) != QLatin1String("-compose") || args.size() > 2) return nullptr;
        w = std::make_shared<NetscapeWindow>();
        w->program = QStringLiteral("Netscape");
        if (args.size() == 2) {
            QFile f(args[1]);
            if (!f.open(QIODevice::ReadOnly)) return nullptr;
            const QString text = Codec::toUnicode(f.readAll().toStdString());
            w->message.body = text;
            w->message.htmlBody = text.startsWith(QLatin1String("<HTML>"), Qt::CaseInsensitive);
        }
    } else if (name == QLatin1String(MailStandIns::kOutlookExpressProgram) || name == QLatin1String("msimn.exe")) {
        if (args != QStringList{QStringLiteral("/mailurl:test")}) return nullptr;
        w = std::make_shared<OutlookExpressWindow>();
        w->program = QStringLiteral("Outlook Express");
    } else {
        return nullptr;
    }
    w->state = &s;
    w->task = s.nextTask++;
    s.windows.push_back(w);
    return w;
}

// --------------------------------------------------------- decorators --

class StandInStarter : public ProcessStarter {
public:
    StandInStarter(std::shared_ptr<MailStandIns::State> s, std::unique_ptr<ProcessStarter> inner)
        : s_(std::move(s)), inner_(std::move(inner)) {}
    static bool ours(const QString& program) {
        const QString n = baseName(program).toLower();
        return n == QLatin1String(MailStandIns::kNetscapeProgram) ||
               n == QLatin1String(MailStandIns::kOutlookExpressProgram) || n == QLatin1String("msimn.exe");
    }
    bool start(const QString& program, const QStringList& args, bool hidden) override {
        if (!ours(program)) return inner_ && inner_->start(program, args, hidden);
        return startTask(program, args, NormalFocus) != 0;
    }
    int run(const QString& program, const QStringList& args, int timeoutMs) override {
        return inner_ ? inner_->run(program, args, timeoutMs) : -1;
    }
    qint64 startTask(const QString& program, const QStringList& args, WindowStyle style) override {
        if (!ours(program)) return inner_ ? inner_->startTask(program, args, style) : 0;
        s_->log << (QStringLiteral("start ") + (QStringList{baseName(program)} + args).join(QLatin1Char(' ')));
        const auto w = makeWindow(*s_, program, args);
        if (!w) s_->log << QStringLiteral("  refused");
        return w ? w->task : 0;
    }

private:
    std::shared_ptr<MailStandIns::State> s_;
    std::unique_ptr<ProcessStarter> inner_;
};

class StandInKeyboard : public Keyboard {
public:
    StandInKeyboard(std::shared_ptr<MailStandIns::State> s, std::unique_ptr<Keyboard> inner)
        : s_(std::move(s)), inner_(std::move(inner)) {}
    quint8 lockState(LockKey key) override { return inner_ ? inner_->lockState(key) : 0; }
    void toggleLock(LockKey key) override {
        if (inner_) inner_->toggleLock(key);
    }
    void sendKeys(const QString& keys, bool wait) override {
        const auto w = active_.lock();
        if (w && !w->closed) return w->keys(keys);
        if (inner_) inner_->sendKeys(keys, wait);
    }
    bool activate(const QString& title) override {
        const auto w = s_->find([&](Window& x) { return x.title().startsWith(title, Qt::CaseInsensitive); });
        active_ = w;
        if (w) return true;
        return inner_ && inner_->activate(title);
    }
    bool activateTask(qint64 taskId) override {
        const auto w = s_->find([&](Window& x) { return x.task == taskId; });
        active_ = w;
        if (w) return true;
        return inner_ && inner_->activateTask(taskId);
    }

private:
    std::shared_ptr<MailStandIns::State> s_;
    std::unique_ptr<Keyboard> inner_;
    std::weak_ptr<Window> active_;
};

// An automation object of the stand-ins: every operation is logged and
// answered by `handle`; what it does not know is error 438.
class StandInObject : public AutomationObject {
public:
    StandInObject(MailStandIns::State& s, QString name) : s_(s), name_(std::move(name)) {}
    QVariant call(const QString& member, const AutoArgs& args) override {
        logCall(member, args);
        return handle(member, args);
    }
    std::shared_ptr<AutomationObject> object(const QString& member, const AutoArgs& args) override {
        logCall(member, args);
        return child(member, args);
    }
    QVariant get(const QString& property) override {
        s_.log << QStringLiteral("get %1.%2").arg(name_, property);
        return read(property);
    }
    void set(const QString& property, const QVariant& value) override {
        s_.log << QStringLiteral("set %1.%2 = \"%3\"").arg(name_, property, value.toString());
        write(property, value);
    }

protected:
    virtual QVariant handle(const QString& member, const AutoArgs&) { throw noSuchMember(name_, member); }
    virtual std::shared_ptr<AutomationObject> child(const QString& member, const AutoArgs&) {
        throw noSuchMember(name_, member);
    }
    virtual QVariant read(const QString& property) { throw noSuchMember(name_, property); }
    virtual void write(const QString& property, const QVariant&) { throw noSuchMember(name_, property); }
    bool is(const QString& member, const char* name) const { return member.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; }
    static QString arg(const AutoArgs& args, int i) { return i < args.size() ? args[i].value.toString() : QString(); }
    MailStandIns::State& s_;
    QString name_;

private:
    void logCall(const QString& member, const AutoArgs& args) {
        QStringList shown;
        for (const AutoArg& a : args) {
            const QVariant& v = a.value;
            shown << (v.typeId() == QMetaType::Bool ? (v.toBool() ? QStringLiteral("True") : QStringLiteral("False"))
                      : v.typeId() == QMetaType::QString ? QStringLiteral("\"%1\"").arg(v.toString())
                                                         : v.toString());
        }
        s_.log << QStringLiteral("call %1.%2(%3)").arg(name_, member, shown.join(QStringLiteral(", ")));
    }
};

constexpr auto kMailServer = "";
constexpr auto kMailFile = "mail/user.nsf";

class NotesSessionObject : public StandInObject {
public:
    using StandInObject::StandInObject;
    QVariant handle(const QString& member, const AutoArgs& args) override {
        if (is(member, "GETENVIRONMENTSTRING") && args.size() == 2 && args[1].value.toBool()) {
            if (arg(args, 0) == QLatin1String("MailServer")) return QString::fromLatin1(kMailServer);
            if (arg(args, 0) == QLatin1String("MailFile")) return QString::fromLatin1(kMailFile);
        }
        return StandInObject::handle(member, args);
    }
    QVariant read(const QString& property) override {
        if (is(property, "NOTESVERSION")) return QString::fromLatin1(MailStandIns::kNotesVersion);
        return StandInObject::read(property);
    }
};

// The memo as a document object; the memo window takes the keys.
class NotesDocumentObject : public StandInObject {
public:
    NotesDocumentObject(MailStandIns::State& s, std::shared_ptr<NotesMemo> memo)
        : StandInObject(s, QStringLiteral("Memo")), memo_(std::move(memo)) {}
    ~NotesDocumentObject() override {
        // The memo is left to the user when nothing sent it.
        if (!memo_->sent) {
            memo_->fill();
            memo_->close();
        }
    }
    QVariant handle(const QString& member, const AutoArgs& args) override {
        if (is(member, "FieldAppendText") && args.size() == 2 && arg(args, 0).compare(QLatin1String("Body"), Qt::CaseInsensitive) == 0) {
            memo_->fields[NotesMemo::Body] += arg(args, 1);
            return {};
        }
        return StandInObject::handle(member, args);
    }

private:
    std::shared_ptr<NotesMemo> memo_;
};

class NotesWorkspaceObject : public StandInObject {
public:
    using StandInObject::StandInObject;
    QVariant handle(const QString& member, const AutoArgs& args) override {
        if (is(member, "OpenDatabase") && args.size() == 6 && arg(args, 0) == QLatin1String(kMailServer) &&
            arg(args, 1) == QLatin1String(kMailFile) && arg(args, 2) == QLatin1String("($Inbox)") && arg(args, 3).isEmpty()) {
            opened_ = true;
            return {};
        }
        return StandInObject::handle(member, args);
    }
    std::shared_ptr<AutomationObject> child(const QString& member, const AutoArgs& args) override {
        if (is(member, "ComposeDocument") && args.size() == 3 && arg(args, 1) == QLatin1String(kMailFile) &&
            arg(args, 2) == QLatin1String("Memo")) {
            if (!opened_) throw AutomationError(4000, QStringLiteral("The mail database is not open"));
            auto memo = std::make_shared<NotesMemo>();
            memo->state = &s_;
            memo->program = QStringLiteral("Lotus Notes");
            s_.windows.push_back(memo);
            return std::make_shared<NotesDocumentObject>(s_, memo);
        }
        return StandInObject::child(member, args);
    }

private:
    bool opened_ = false;
};

class OutlookItemObject : public StandInObject {
public:
    explicit OutlookItemObject(MailStandIns::State& s) : StandInObject(s, QStringLiteral("MailItem")) {}
    // A displayed message that nobody sent is left to the user.
    ~OutlookItemObject() override {
        if (displayed_ && !sent_) s_.present(message_);
    }
    QVariant handle(const QString& member, const AutoArgs& args) override {
        if (is(member, "Display") && args.isEmpty()) {
            displayed_ = true;
        } else if (is(member, "Attachments.Add") && args.size() == 1) {
            if (!QFileInfo(arg(args, 0)).isFile())
                throw AutomationError(-2147024894, QStringLiteral("Cannot find this file: ") + arg(args, 0));
            message_.attachments.push_back({arg(args, 0), {}});
        } else if (is(member, "Recipients.Add") && args.size() == 1) {
            message_.to << arg(args, 0).trimmed();
        } else if (is(member, "Send") && args.isEmpty() && !sent_) {
            sent_ = true;  // sent, or kept by the mail layer
            const MailOutbox::Result r = s_.outbox->send(message_);
            if (!r.ok()) throw AutomationError(kNotSent, r.error);
        } else {
            return StandInObject::handle(member, args);
        }
        return {};
    }
    void write(const QString& property, const QVariant& value) override {
        if (is(property, "Subject")) message_.subject = value.toString();
        else if (is(property, "Body")) message_.body = value.toString();
        else StandInObject::write(property, value);
    }

private:
    MailMessage message_;
    bool displayed_ = false, sent_ = false;
};

class OutlookObject : public StandInObject {
public:
    using StandInObject::StandInObject;
    std::shared_ptr<AutomationObject> child(const QString& member, const AutoArgs& args) override {
        if (is(member, "CreateItem") && args.size() == 1 && args[0].value.toInt() == 0 && !args[0].object)
            return std::make_shared<OutlookItemObject>(s_);
        return StandInObject::child(member, args);
    }
};

class StandInAutomation : public Automation {
public:
    StandInAutomation(std::shared_ptr<MailStandIns::State> s, std::unique_ptr<Automation> inner)
        : s_(std::move(s)), inner_(std::move(inner)) {}
    std::shared_ptr<AutomationObject> getObject(const QString& progId) override {
        if (is(progId, "Outlook.application")) {
            s_->log << QStringLiteral("GetObject Outlook.application");
            if (auto running = s_->outlook.lock()) return running;
            throw AutomationError(kCannotCreateObject, QStringLiteral("ActiveX component can't create object"));
        }
        if (ours(progId)) throw AutomationError(kCannotCreateObject, QStringLiteral("ActiveX component can't create object"));
        return inner(progId, true);
    }
    std::shared_ptr<AutomationObject> createObject(const QString& progId) override {
        if (!ours(progId)) return inner(progId, false);
        s_->log << (QStringLiteral("CreateObject ") + progId);
        if (is(progId, "Outlook.application")) {
            auto app = std::make_shared<OutlookObject>(*s_, QStringLiteral("Outlook.application"));
            s_->outlook = app;
            return app;
        }
        if (is(progId, "Notes.NotesSession")) return std::make_shared<NotesSessionObject>(*s_, QStringLiteral("Notes.NotesSession"));
        return std::make_shared<NotesWorkspaceObject>(*s_, QStringLiteral("Notes.NotesUIWorkspace"));
    }
    std::shared_ptr<DdeConversation> ddeInitiate(const QString& application, const QString& topic) override {
        if (!inner_) throw AutomationError(kNoDdeAnswer, QStringLiteral("No foreign application responded to a DDE initiate"));
        return inner_->ddeInitiate(application, topic);
    }

private:
    static bool is(const QString& id, const char* name) { return id.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; }
    static bool ours(const QString& id) {
        return is(id, "Outlook.application") || is(id, "Notes.NotesSession") || is(id, "Notes.NotesUIWorkspace");
    }
    std::shared_ptr<AutomationObject> inner(const QString& progId, bool running) {
        if (!inner_) throw AutomationError(kCannotCreateObject, QStringLiteral("ActiveX component can't create object"));
        return running ? inner_->getObject(progId) : inner_->createObject(progId);
    }
    std::shared_ptr<MailStandIns::State> s_;
    std::unique_ptr<Automation> inner_;
};

class StandInRegistry : public MachineRegistry {
public:
    explicit StandInRegistry(std::unique_ptr<MachineRegistry> inner) : inner_(std::move(inner)) {
        const QString mail = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Clients\\Mail\\");
        // The discovered commands come out as the stand-in programs: Netscape's
        // value loses its last five characters, Outlook Express's its first
        // one and everything past three characters after the first ".".
        ours_.setString(mail + QStringLiteral("Netscape Messenger\\Protocols\\mailto\\shell\\open\\command"), {},
                        QLatin1String(MailStandIns::kNetscapeProgram) + QStringLiteral(" \"%1\""));
        ours_.setString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Netscape\\Netscape Navigator"),
                        QStringLiteral("CurrentVersion"), QStringLiteral("4.8 (en)"));
        ours_.setString(mail + QStringLiteral("Outlook Express\\shell\\open\\command"), {},
                        QStringLiteral("\"%1\" /mailurl:%2").arg(QLatin1String(MailStandIns::kOutlookExpressProgram), QStringLiteral("%1")));
        ours_.setString(mail + QStringLiteral("Microsoft Outlook\\shell\\open\\command"), {},
                        QStringLiteral("\"swmail-outlook.exe\" /c ipm.note"));
        ours_.setString(mail + QStringLiteral("Lotus Notes\\shell\\open\\command"), {}, QStringLiteral("swmail-notes.exe"));
    }
    std::optional<QString> query(const QString& key, const QString& value) override {
        if (auto v = ours_.query(key, value)) return v;
        return inner_ ? inner_->query(key, value) : std::nullopt;
    }
    bool keyExists(const QString& key) override { return ours_.keyExists(key) || (inner_ && inner_->keyExists(key)); }
    std::optional<RegistryValue> lookup(const QString& key, const QString& value) override {
        if (auto v = ours_.lookup(key, value)) return v;
        return inner_ ? inner_->lookup(key, value) : std::nullopt;
    }

private:
    MemoryMachineRegistry ours_;
    std::unique_ptr<MachineRegistry> inner_;
};
}  // namespace

// ------------------------------------------------------------- facade --

MailStandIns::MailStandIns(std::shared_ptr<MailOutbox> outbox) : state_(std::make_shared<State>()) {
    state_->outbox = std::move(outbox);
    state_->onProblem = &onProblem;
}

MailStandIns::~MailStandIns() {
    closeWindows();
    state_->onProblem = nullptr;
}

std::unique_ptr<ProcessStarter> MailStandIns::wrap(std::unique_ptr<ProcessStarter> inner) {
    return std::make_unique<StandInStarter>(state_, std::move(inner));
}
std::unique_ptr<Keyboard> MailStandIns::wrap(std::unique_ptr<Keyboard> inner) {
    return std::make_unique<StandInKeyboard>(state_, std::move(inner));
}
std::unique_ptr<Automation> MailStandIns::wrap(std::unique_ptr<Automation> inner) {
    return std::make_unique<StandInAutomation>(state_, std::move(inner));
}
std::unique_ptr<MachineRegistry> MailStandIns::wrap(std::unique_ptr<MachineRegistry> inner) {
    return std::make_unique<StandInRegistry>(std::move(inner));
}

int MailStandIns::closeWindows() {
    int drafts = 0;
    for (const auto& w : state_->windows) {
        // A Notes memo goes with its document object.
        if (w->closed || dynamic_cast<NotesMemo*>(w.get())) continue;
        if (auto* oe = dynamic_cast<OutlookExpressWindow*>(w.get())) oe->fill();
        w->closed = true;
        if (state_->present(w->message)) ++drafts;
    }
    std::erase_if(state_->windows, [](const auto& w) { return w->closed; });
    return drafts;
}

QStringList MailStandIns::log() const { return state_->log; }
void MailStandIns::clearLog() { state_->log.clear(); }

QStringList MailStandIns::openWindows() const {
    QStringList titles;
    for (const auto& w : state_->windows)
        if (!w->closed) titles << w->title();
    return titles;
}
