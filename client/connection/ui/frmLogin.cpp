#include "frmLogin.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "AppContext.h"
#include "HostLink.h"
#include "SignOn.h"
#include "WindowGeometry.h"

namespace {
const QString kTitle = QStringLiteral("iSeries Security");

QPixmap padlock() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 90), 3));
    p.drawArc(QRectF(9, 3, 14, 16), 0, 180 * 16);
    p.drawLine(QPointF(9, 11), QPointF(9, 15));
    p.drawLine(QPointF(23, 11), QPointF(23, 15));
    p.setPen(QPen(QColor(120, 90, 20), 1));
    p.setBrush(QColor(220, 170, 40));
    p.drawRoundedRect(QRectF(5, 14, 22, 16), 2, 2);
    p.setBrush(QColor(60, 40, 10));
    p.drawEllipse(QRectF(14, 19, 4, 4));
    p.drawRect(QRectF(15, 22, 2, 4));
    return pm;
}

// The characters besides letters, digits and the blank that the host receives
// unchanged, for the refusal message.
QString carriedPunctuation() {
    QString out;
    for (const char* c = SignOnScrambling::kSignOnAlphabet; *c; ++c)
        if (!QChar::isLetterOrNumber(static_cast<uchar>(*c)) && *c != ' ') out += QLatin1Char(*c);
    return out;
}
}  // namespace

frmLogin::frmLogin(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(kTitle);

    auto* grid = new QGridLayout(this);
    const char* captions[] = {"System:", "&User ID:", "&Password:"};
    for (size_t i = 0; i < lblLabels.size(); ++i) {
        lblLabels[i] = new QLabel(QString::fromLatin1(captions[i]), this);
        lblLabels[i]->setObjectName(QStringLiteral("lblLabels_%1").arg(i));
    }
    lblIPAddress = new QLabel(this);
    lblIPAddress->setObjectName(QStringLiteral("lblIPAddress"));
    txtUserID = new QLineEdit(this);
    txtUserID->setObjectName(QStringLiteral("txtUserID"));
    txtUserID->setMaxLength(10);
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setMaxLength(50);
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    lblLabels[1]->setBuddy(txtUserID);
    lblLabels[2]->setBuddy(txtPassword);
    chkSavePassword = new QCheckBox(QStringLiteral("Save password"), this);
    chkSavePassword->setObjectName(QStringLiteral("chkSavePassword"));
    Label1 = new QLabel(QStringLiteral("Note:  Passwords are case-sensetive"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(padlock());
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    grid->addWidget(Image1, 0, 0, 3, 1);
    grid->addWidget(lblLabels[0], 0, 1);
    grid->addWidget(lblIPAddress, 0, 2);
    grid->addWidget(lblLabels[1], 1, 1);
    grid->addWidget(txtUserID, 1, 2);
    grid->addWidget(lblLabels[2], 2, 1);
    grid->addWidget(txtPassword, 2, 2);
    grid->addWidget(chkSavePassword, 3, 2);
    grid->addWidget(Label1, 4, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 5, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    setTabOrder(txtUserID, txtPassword);
    setTabOrder(txtPassword, chkSavePassword);
    setTabOrder(chkSavePassword, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setMinimumWidth(340);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    Form_Load();
}

frmLogin::~frmLogin() = default;

void frmLogin::Form_Load() {
    adjustSize();
    WindowGeometry::centre(this);
}

void frmLogin::Form_Activate() { lblIPAddress->setText(ctx_.connection.gHostAddress); }

void frmLogin::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Form_Activate();
}

void frmLogin::refuse(QLineEdit* field, const QString& text) {
    ctx_.services.msgBox(text, MsgButtons::OK, MsgIcon::None, kTitle);
    field->setFocus();
    field->selectAll();
}

void frmLogin::cmdOK_Click() {
    txtUserID->setText(txtUserID->text().trimmed().toUpper());
    const QString user = txtUserID->text();
    if (user == QLatin1String("QSECOFR")) {
        refuse(txtUserID, QStringLiteral("The main server program is not allowed to submit jobs") +
                              QStringLiteral(" under user QSECOFR. Please specify another valid user ID and password."));
        return;
    }
    if (user.isEmpty()) {
        refuse(txtUserID, QStringLiteral("Please specify a valid user ID and password."));
        return;
    }
    // A character outside the scrambling alphabet would reach the host as a
    // different one: a wrong password that counts against the user profile.
    const std::pair<QLineEdit*, QString> fields[] = {{txtUserID, QStringLiteral("user ID")},
                                                     {txtPassword, QStringLiteral("password")}};
    for (const auto& [field, what] : fields) {
        const QChar bad = SignOnScrambling::firstUncarriedCharacter(field->text());
        if (!bad.isNull()) {
            refuse(field, QStringLiteral("The %1 contains the character '%2', which cannot be sent to the iSeries.  "
                                         "Please use only letters A-Z and a-z, digits, blanks and these characters: %3")
                              .arg(what, QString(bad), carriedPunctuation()));
            return;
        }
    }
    ctx_.services.saveSetting(Setting::User, user);
    ctx_.connection.gSignOnAccepted = true;
    hide();
}

void frmLogin::cmdCancel_Click() {
    Disconnect(ctx_.link);
    cancelled = true;
    hide();
}

void frmLogin::reject() { cmdCancel_Click(); }

void frmLogin::closeEvent(QCloseEvent* e) {
    // The close box answers as Cancel does; a dialog that is merely gone would
    // leave the sign-on waiting for its time limit.
    if (isVisible() && !cancelled) cmdCancel_Click();
    e->accept();
}
