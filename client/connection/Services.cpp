#include "Services.h"

#include <cstdio>

QString Services::getSetting(const QString& key, const QString& def) {
    return settings ? settings->get(QString::fromLatin1(kAppTitle), QString::fromLatin1(kSection), key, def) : def;
}

void Services::saveSetting(const QString& key, const QString& value) {
    if (settings) settings->save(QString::fromLatin1(kAppTitle), QString::fromLatin1(kSection), key, value);
}

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
