#include "Services.h"

#include <cstdio>

#include "SettingValues.h"

QString Services::getSetting(const QString& key, const QString& def) {
    return settings ? settings->get(QString::fromLatin1(kAppTitle), QString::fromLatin1(kSection), key, def) : def;
}

void Services::saveSetting(const QString& key, const QString& value) {
    if (settings) settings->save(QString::fromLatin1(kAppTitle), QString::fromLatin1(kSection), key, value);
}

QString Services::getSetting(const SettingKey& key, const QString& def) { return getSetting(key.stored(), def); }

void Services::saveSetting(const SettingKey& key, const QString& value) { saveSetting(key.stored(), value); }

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
    if (msg) return msg->show(text, buttons, icon, title, defaultButton);
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    return MessageBoxes::defaultAnswer(buttons, defaultButton);
}

void Services::endProgram(int status, const QString& reason) { throw ProgramEnd{status, reason}; }

void Services::runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const ProgramEnd& e) {
        if (endInEvent) endInEvent(e);
        else programEnded = e;
    }
}
