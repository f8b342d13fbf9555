#include "Services.h"

Services::Services()
    : reporter(std::make_unique<MessageBoxReporter>([this] { return msg.get(); })),
      asker(std::make_unique<MessageBoxAsker>([this] { return msg.get(); },
                                              [this] { return presenter && presenter->unattended; })) {
    outputFolders.now = [this] { return static_cast<time_t>(now().toSecsSinceEpoch()); };
}

#include "SettingValues.h"

QString Services::getSetting(const QString& key, const QString& def) {
    return settings ? settings->get(QString::fromLatin1(kAppTitle), QString::fromLatin1(kSection), key, def) : def;
}

void Services::saveSetting(const QString& key, const QString& value) {
    if (settings) settings->save(QString::fromLatin1(kAppTitle), QString::fromLatin1(kSection), key, value);
}

QString Services::getSetting(const SettingKey& key, const QString& def) { return getSetting(key.stored(), def); }

void Services::saveSetting(const SettingKey& key, const QString& value) { saveSetting(key.stored(), value); }

QString Services::getKept(const SettingKey& key) { return getSetting(key, QString::fromLatin1(kNotKept)); }

void Services::saveNotKept(const SettingKey& key) { saveSetting(key, QString::fromLatin1(kNotKept)); }

void Services::removeSetting(const SettingKey& key) {
    if (settings) settings->remove(QString::fromLatin1(kAppTitle), QString::fromLatin1(kSection), key.stored());
}

void Services::saveTruth(const SettingKey& key, bool value) {
    Q_ASSERT(key.kind == SettingKind::Truth);
    saveSetting(key, BoolText(value));
}

void Services::saveNumber(const SettingKey& key, int value) {
    Q_ASSERT(key.kind == SettingKind::Number);
    saveSetting(key, QString::number(value));
}

void Services::seedSetting(const SettingKey& key) {
    Q_ASSERT(key.firstStart);
    seedSetting(key, key.firstStartValue());
}

void Services::seedSetting(const SettingKey& key, const QString& value) {
    if (!HasValue(getSetting(key))) saveSetting(key, value);
}

QDateTime Services::now() const { return wallClock ? wallClock() : QDateTime::currentDateTime(); }

int Services::msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title, int defaultButton) {
    return ShowBox(msg.get(), text, buttons, icon, title, defaultButton);
}

QString Services::settingsFileName() const {
    return settings ? settings->fileName(QString::fromLatin1(kAppTitle)) : QString();
}

void Services::report(const Failure& failure) {
    if (reporter) reporter->report(failure);
}

int Services::ask(const Question& question) {
    return asker ? asker->ask(question) : MessageBoxes::defaultAnswer(question.buttons, question.defaultButton);
}

void Services::endProgram(int status, const QString& reason) { throw ProgramEnd{status, reason}; }

void Services::runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const ProgramEnd& e) {
        if (endInEvent) endInEvent(e);
        else programEnded = e;
    } catch (const std::exception& e) {
        // Nothing may cross the event loop: what no step expected is told,
        // the command ends there and the program goes on.
        report(Failure{QStringLiteral("Error 5 ") + QString::fromLocal8Bit(e.what()), MsgIcon::Critical,
                       QString::fromLatin1(kAppTitle)});
    } catch (...) {
        report(Failure{QStringLiteral("Error 5 An unexpected error ended this command."), MsgIcon::Critical,
                       QString::fromLatin1(kAppTitle)});
    }
}
