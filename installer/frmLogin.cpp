#include "frmLogin.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "HostprepContext.h"
#include "InstallScript.h"
#include "Layout.h"

namespace hostprep {

frmLogin::frmLogin(HostprepContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("iSeries Security"));
    useDesignFont(this);
    setFixedSize(px(4080), px(2520));

    const char* captions[] = {"&User ID:", "&Password:", "iSeries IP Address:"};
    for (size_t i = 0; i < lblLabels.size(); ++i) {
        lblLabels[i] = new QLabel(QString::fromLatin1(captions[i]), this);
        lblLabels[i]->setObjectName(QStringLiteral("lblLabels_%1").arg(i));
        lblLabels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    lblIPAddress = new QLabel(this);
    lblIPAddress->setObjectName(QStringLiteral("lblIPAddress"));
    txtUserID = new QLineEdit(QStringLiteral("QSECOFR"), this);
    txtUserID->setObjectName(QStringLiteral("txtUserID"));
    txtUserID->setMaxLength(10);
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setMaxLength(10);
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    lblLabels[0]->setBuddy(txtUserID);
    lblLabels[1]->setBuddy(txtPassword);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    place(lblLabels[2], 0, 120, 1680, 270);
    place(lblIPAddress, 1800, 120, 2085, 285);
    place(lblLabels[0], 600, 720, 1080, 270);
    place(txtUserID, 1800, 720, 2085, 285);
    place(lblLabels[1], 600, 1080, 1080, 270);
    place(txtPassword, 1800, 1080, 2085, 285);
    place(cmdOK, 2760, 1560, 1140, 296);
    place(cmdCancel, 2760, 2040, 1140, 296);
    // Tab positions: password, OK, Cancel, user ID.
    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, txtUserID);

    connect(cmdOK, &QPushButton::clicked, this, [this] { ctx_.runHandler([this] { cmdOK_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { ctx_.runHandler([this] { cmdCancel_Click(); }); });
}

frmLogin::~frmLogin() = default;

void frmLogin::Form_Load() {
    lblIPAddress->setText(ctx_.gHost);
    centreOnScreen(this);
}

void frmLogin::showEvent(QShowEvent* e) {
    Form_Load();
    QDialog::showEvent(e);
    txtPassword->setFocus();
}

void frmLogin::refuse(QLineEdit* field, const QString& text) {
    ctx_.msgBox(text, MsgButtons::OK, MsgIcon::None, QStringLiteral("iSeries/400 Security"));
    field->setFocus();
    field->selectAll();
}

void frmLogin::cmdOK_Click() {
    txtUserID->setText(txtUserID->text().trimmed().toUpper());
    txtPassword->setText(txtPassword->text().trimmed().toUpper());
    if (txtUserID->text().isEmpty()) {
        refuse(txtUserID, QStringLiteral("Please specify a valid user ID and password."));
        return;
    }
    // Nothing that could end a line reaches the FTP script.
    const QString user = InstallScript::userIdRefusal(txtUserID->text());
    if (!user.isEmpty()) {
        refuse(txtUserID, user);
        return;
    }
    const QString password = InstallScript::passwordRefusal(txtPassword->text());
    if (!password.isEmpty()) {
        refuse(txtPassword, password);
        return;
    }
    accepted = true;
    hide();
}

void frmLogin::cmdCancel_Click() {
    accepted = false;
    hide();
}

void frmLogin::reject() { cmdCancel_Click(); }

void frmLogin::closeEvent(QCloseEvent* e) {
    if (isVisible()) cmdCancel_Click();
    e->accept();
}

}  // namespace hostprep
