#include "HookPresenter.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "AppContext.h"
#include "frmLogin.h"

HookPresenter& installHookPresenter(AppContext& ctx) {
    auto p = std::make_unique<HookPresenter>();
    HookPresenter& ref = *p;
    ctx.services.presenter = std::move(p);
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

