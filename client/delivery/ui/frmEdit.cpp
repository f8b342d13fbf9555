#include "frmEdit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "AppContext.h"
#include "EmailCommon.h"
#include "EmailTextFiles.h"

frmEdit::frmEdit(AppContext& ctx) : ctx_(ctx) {
    setObjectName(QStringLiteral("frmEdit"));
    setWindowTitle(QStringLiteral("Automated email options"));
    setModal(true);
    auto* g = new QGridLayout(this);
    auto field = [&](int row, const char* name, const char* label, QWidget* w) {
        w->setObjectName(QString::fromLatin1(name));
        auto* l = new QLabel(QString::fromLatin1(label), this);
        l->setBuddy(w);
        g->addWidget(l, row, 0, Qt::AlignTop);
        g->addWidget(w, row, 1);
    };
    txtCompanyName = new QLineEdit(this);
    txtSubject = new QLineEdit(this);
    txtEdit = new QPlainTextEdit(this);
    field(0, "txtCompanyName", "From:", txtCompanyName);
    field(1, "txtSubject", "Email subject:", txtSubject);
    field(2, "txtEdit", "Email message:", txtEdit);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    g->addLayout(buttons, 3, 0, 1, 2);
    resize(520, 320);
    connect(cmdOK, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([this] { cmdOK_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([this] { cmdCancel_Click(); }); });
}

void frmEdit::Form_Load() {
    QString message = EmailTextFiles::readMessage(ctx_);
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtEdit->setPlainText(message);
    // One line: the file's line end is no part of the subject.
    txtSubject->setText(EmailTextFiles::stripLineEnds(EmailTextFiles::readSubject(ctx_)));
    txtCompanyName->setText(CompanyName(ctx_));
}

bool frmEdit::cmdOK_Click() {
    const QString subject = EmailTextFiles::stripLineEnds(txtSubject->text());
    txtSubject->setText(subject);
    QString message = EmailTextFiles::stripLineEnds(txtEdit->toPlainText());
    txtEdit->setPlainText(message);
    message.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QString error = EmailTextFiles::write(ctx_, subject, message);
    if (!error.isEmpty()) {
        ctx_.services.msgBox(QStringLiteral("The automated email options were not saved: ") + error, MsgButtons::OK,
                    MsgIcon::Exclamation, QStringLiteral("Tolvane"));
        return false;
    }
    EmailState& email = Email(ctx_);
    email.gEmailSubject = subject;
    email.gEmailMessage = message;
    ctx_.services.saveSetting(Setting::CompanyName, txtCompanyName->text());
    accept();
    return true;
}

void frmEdit::cmdCancel_Click() {
    EmailState& email = Email(ctx_);
    email.gEmailSubject.clear();
    email.gEmailMessage.clear();
    reject();
}

void ShowAutoSendOptions(AppContext& ctx) {
    frmEdit dialog(ctx);
    dialog.Form_Load();
    // Centred on the screen, as described.
    if (ctx.services.presenter) ctx.services.presenter->showModal(&dialog);
    else dialog.exec();
}
