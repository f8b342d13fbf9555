#include "MailOutbox.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include "MimeMessage.h"
#include "ProcessStarter.h"

namespace {
// "20261210-142501-Sales report.eml", numbered when taken.
QString draftName(const QDir& dir, const QString& subject) {
    QString stem = subject;
    stem.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9 ._-]")), QStringLiteral("_"));
    stem = stem.trimmed().left(60);
    if (stem.isEmpty()) stem = QStringLiteral("message");
    const QString base = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-")) + stem;
    QString name = base + QStringLiteral(".eml");
    for (int n = 2; dir.exists(name); ++n) name = base + QStringLiteral(" (%1).eml").arg(n);
    return dir.filePath(name);
}
}  // namespace

bool MailService::haveDesktop() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

MailOutbox::Result MailService::openDraft(const MailMessage& message) {
    Result r;
    MailMessage m = message;
    if (m.from.isEmpty() && config) m.from = config().sender;
    const MimeMessage::Result mime = MimeMessage::build(m, true);
    if (!mime.ok()) {
        r.error = mime.error;
        return r;
    }
    QDir dir(draftsFolder);
    if (!dir.mkpath(QStringLiteral("."))) {
        r.error = QStringLiteral("The drafts folder %1 cannot be created.").arg(QDir::toNativeSeparators(draftsFolder));
        return r;
    }
    const QString path = draftName(dir, m.subject);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(mime.bytes) != mime.bytes.size() || !f.commit()) {
        r.error = QStringLiteral("The draft %1 cannot be written: %2").arg(QDir::toNativeSeparators(path), f.errorString());
        return r;
    }
    r.draftPath = path;
    ProcessStarter* p = starter ? starter() : nullptr;
    if (p && (!canOpen || canOpen())) r.opened = p->start(QStringLiteral("xdg-open"), {path});
    if (!r.opened && notice) notice(path);
    return r;
}

MailOutbox::Result MailService::send(const MailMessage& message) {
    Result r;
    const SmtpConfig c = config ? config() : SmtpConfig{};
    MailMessage m = message;
    m.from = c.sender;
    const MimeMessage::Result mime = MimeMessage::build(m, false);
    if (!mime.ok()) {
        r.error = mime.error;
        return r;
    }
    const SmtpSender::Result sent = SmtpSender::send(c, MimeMessage::envelopeAddresses(m.to + m.cc), mime.bytes, whileSending);
    r.error = sent.error;
    return r;
}

MailOutbox::Result RecordingMailOutbox::openDraft(const MailMessage& message) {
    entries.push_back({message, false});
    return {};
}

MailOutbox::Result RecordingMailOutbox::send(const MailMessage& message) {
    Result r;
    r.error = failSend;
    if (r.ok()) entries.push_back({message, true});
    return r;
}
