#include "HookPresenter.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "AppContext.h"
#include "Codec.h"
#include "HostLink.h"
#include "SignOn.h"
#include "frmLogin.h"

HookPresenter& installHookPresenter(AppContext& ctx) {
    auto p = std::make_unique<HookPresenter>();
    HookPresenter& ref = *p;
    ctx.presenter = std::move(p);
    return ref;
}

void answerSignOn(HookPresenter& p, const QString& user, const QString& password, bool savePassword) {
    p.onModeless = [user, password, savePassword](QWidget* w) {
        auto* login = qobject_cast<frmLogin*>(w);
        if (!login) return;
        login->txtUserID->setText(user);
        login->txtPassword->setText(password);
        login->chkSavePassword->setChecked(savePassword);
        login->cmdOK->click();
    };
}

void rememberSignOn(AppContext& ctx, const QString& user, const QString& password) {
    ctx.saveSetting(QStringLiteral("User"), user.trimmed().toUpper());
    const std::string field = HostWire::field(Codec::fromUnicode(password), SignOnScrambling::kPasswordLength);
    ctx.saveSetting(QStringLiteral("century"), Codec::toUnicode(SignOnScrambling::scrambleField(field)));
}
