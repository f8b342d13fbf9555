#include "Services.h"

Services::Services()
    : reporter(std::make_unique<MessageBoxReporter>([this] { return msg.get(); })),
      asker(std::make_unique<MessageBoxAsker>([this] { return msg.get(); },
                                              [this] { return presenter && presenter->unattended; })) {}

QString Services::getSetting(const QString& key, const QString& def) {
    return settings ? settings->get(QString::fromLatin1(kAppTitle), QString::fromLatin1(kSection), key, def) : def;
}

void Services::saveSetting(const QString& key, const QString& value) {
    if (settings) settings->save(QString::fromLatin1(kAppTitle), QString::fromLatin1(kSection), key, value);
}

int Services::msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title, int defaultButton) {
    return ShowBox(msg.get(), text, buttons, icon, title, defaultButton);
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
    }
}
