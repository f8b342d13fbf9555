#include "RecordingAutomation.h"

#include <QMap>
#include <deque>

struct RecordingAutomation::State {
    struct Rule {
        enum Kind { Value, Error, Name } kind;
        QString member;
        QVariant value;
        int number = 0;
        QString text;
        int times = 1;
    };
    QStringList log;
    std::deque<Rule> rules;
    QMap<QString, bool> programs;  // lower-case identifier -> running
    QStringList dde;

    // The first rule of this kind that matches path and has uses left.
    Rule* match(const QString& path, Rule::Kind kind) {
        for (Rule& r : rules) {
            if (r.kind != kind || r.times == 0) continue;
            const bool hit = path.compare(r.member, Qt::CaseInsensitive) == 0 ||
                             path.endsWith(QLatin1Char('.') + r.member, Qt::CaseInsensitive);
            if (!hit) continue;
            if (r.times > 0) --r.times;
            return &r;
        }
        return nullptr;
    }
    // Logs the operation; throws when a rule says it fails, or with `missing`
    // when the program is not there; else the scripted value.
    QVariant run(const QString& path, const QString& line, const AutomationError* missing = nullptr) {
        log << line;
        auto failWith = [&](const AutomationError& e) {
            log.last() += QStringLiteral(" -> error %1").arg(e.number);
            throw e;
        };
        if (Rule* e = match(path, Rule::Error))
            failWith(AutomationError(e->number, e->text.isEmpty() ? QStringLiteral("Automation error") : e->text));
        if (missing) failWith(*missing);
        if (Rule* v = match(path, Rule::Value)) return v->value;
        return {};
    }
};

namespace {
using State = RecordingAutomation::State;

class RecordedObject;

QString formatArgs(const AutoArgs& args);

class RecordedObject : public AutomationObject {
public:
    RecordedObject(std::shared_ptr<State> s, QString name) : s_(std::move(s)), name_(std::move(name)) {}
    ~RecordedObject() override { s_->log << QStringLiteral("Release ") + name_; }
    const QString& name() const { return name_; }

    QVariant call(const QString& member, const AutoArgs& args) override {
        const QString path = name_ + QLatin1Char('.') + member;
        return s_->run(path, path + QLatin1Char('(') + formatArgs(args) + QLatin1Char(')'));
    }
    std::shared_ptr<AutomationObject> object(const QString& member, const AutoArgs& args) override {
        const QString path = name_ + QLatin1Char('.') + member;
        QString child = args.isEmpty() ? path : path + QLatin1Char('(') + formatArgs(args) + QLatin1Char(')');
        s_->run(path, child);
        if (State::Rule* n = s_->match(path, State::Rule::Name)) child = n->text;
        return std::make_shared<RecordedObject>(s_, child);
    }
    QVariant get(const QString& property) override {
        const QString path = name_ + QLatin1Char('.') + property;
        return s_->run(path, path);
    }
    void set(const QString& property, const QVariant& value) override {
        const QString path = name_ + QLatin1Char('.') + property;
        s_->run(path, path + QStringLiteral(" = ") + RecordingAutomation::format(value));
    }

private:
    std::shared_ptr<State> s_;
    QString name_;
};

QString formatArgs(const AutoArgs& args) {
    QStringList parts;
    for (const AutoArg& a : args) {
        QString v;
        if (a.object) {
            auto* r = dynamic_cast<RecordedObject*>(a.object.get());
            v = r ? r->name() : QStringLiteral("<object>");
        } else if (a.value.isValid()) {
            v = RecordingAutomation::format(a.value);
        }
        parts << (a.name.isEmpty() ? v : a.name + QStringLiteral(":=") + v);
    }
    return parts.join(QStringLiteral(", "));
}

class RecordedConversation : public DdeConversation {
public:
    RecordedConversation(std::shared_ptr<State> s, QString id) : s_(std::move(s)), id_(std::move(id)) {}
    ~RecordedConversation() override { s_->log << QStringLiteral("DDETerminate(%1)").arg(id_); }
    void execute(const QString& command) override {
        s_->run(QStringLiteral("DDEExecute"), QStringLiteral("DDEExecute(%1)").arg(RecordingAutomation::format(command)));
    }

private:
    std::shared_ptr<State> s_;
    QString id_;
};
}  // namespace

RecordingAutomation::RecordingAutomation() : state_(std::make_shared<State>()) {}
RecordingAutomation::~RecordingAutomation() = default;

QString RecordingAutomation::format(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case QMetaType::QString: {
            QString s = v.toString();
            s.replace(QLatin1Char('"'), QLatin1String("\"\""));
            return QLatin1Char('"') + s + QLatin1Char('"');
        }
        case QMetaType::QVariantList: {
            QStringList items;
            for (const QVariant& e : v.toList()) items << format(e);
            return QStringLiteral("Array(") + items.join(QStringLiteral(", ")) + QLatin1Char(')');
        }
        default: return v.isValid() ? v.toString() : QString();
    }
}

RecordingAutomation& RecordingAutomation::install(const QString& progId, bool running) {
    state_->programs.insert(progId.toCaseFolded(), running);
    return *this;
}

RecordingAutomation& RecordingAutomation::installDde(const QString& application, const QString& topic) {
    state_->dde << (application + QLatin1Char('|') + topic).toCaseFolded();
    return *this;
}

RecordingAutomation& RecordingAutomation::answer(const QString& member, const QVariant& value, int times) {
    state_->rules.push_back({State::Rule::Value, member, value, 0, {}, times});
    return *this;
}

RecordingAutomation& RecordingAutomation::fail(const QString& member, int number, const QString& description, int times) {
    state_->rules.push_back({State::Rule::Error, member, {}, number, description, times});
    return *this;
}

RecordingAutomation& RecordingAutomation::name(const QString& member, const QString& objectName, int times) {
    state_->rules.push_back({State::Rule::Name, member, {}, 0, objectName, times});
    return *this;
}

std::shared_ptr<AutomationObject> RecordingAutomation::getObject(const QString& progId) {
    const AutomationError none(kCannotCreateObject, QStringLiteral("ActiveX component can't create object"));
    const bool running = state_->programs.value(progId.toCaseFolded(), false);
    state_->run(QStringLiteral("GetObject"), QStringLiteral("GetObject(, %1)").arg(format(progId)), running ? nullptr : &none);
    return std::make_shared<RecordedObject>(state_, progId);
}

std::shared_ptr<AutomationObject> RecordingAutomation::createObject(const QString& progId) {
    const AutomationError none(kCannotCreateObject, QStringLiteral("ActiveX component can't create object"));
    const bool installed = state_->programs.contains(progId.toCaseFolded());
    state_->run(QStringLiteral("CreateObject"), QStringLiteral("CreateObject(%1)").arg(format(progId)),
                installed ? nullptr : &none);
    return std::make_shared<RecordedObject>(state_, progId);
}

std::shared_ptr<DdeConversation> RecordingAutomation::ddeInitiate(const QString& application, const QString& topic) {
    const AutomationError none(kNoDdeAnswer, QStringLiteral("No foreign application responded to a DDE initiate"));
    const QString id = format(application) + QStringLiteral(", ") + format(topic);
    const bool there = state_->dde.contains((application + QLatin1Char('|') + topic).toCaseFolded());
    state_->run(QStringLiteral("DDEInitiate"), QStringLiteral("DDEInitiate(%1)").arg(id), there ? nullptr : &none);
    return std::make_shared<RecordedConversation>(state_, id);
}

QStringList RecordingAutomation::log() const { return state_->log; }

void RecordingAutomation::clearLog() { state_->log.clear(); }

QStringList RecordingAutomation::logged(const QString& part) const {
    QStringList out;
    for (const QString& l : state_->log)
        if (l.contains(part)) out << l;
    return out;
}
