#include "MailOutbox.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "MimeMessage.h"
#include "ProcessStarter.h"
#include "SafeOutputFile.h"

namespace {
// "20261210-142501-Sales report": the draft's name before its number.
QString draftBase(const QDir& dir, const QString& subject, const QDateTime& now) {
    QString stem = subject;
    stem.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9 ._-]")), QStringLiteral("_"));
    stem = stem.trimmed().left(60);
    if (stem.isEmpty()) stem = QStringLiteral("message");
    return dir.filePath(now.toString(QStringLiteral("yyyyMMdd-HHmmss-")) + stem);
}

// The base with ".eml", numbered " (2)", " (3)", ... when taken (or passed over).
QString freeDraftName(const QString& base, const QSet<QString>& passedOver) {
    QString name = base + QStringLiteral(".eml");
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink() ||
                    passedOver.contains(QFileInfo(name).absoluteFilePath());
         ++n)
        name = base + QStringLiteral(" (%1).eml").arg(n);
    return name;
}
}  // namespace

QDateTime MailService::timeOfDay() const { return now ? now() : QDateTime::currentDateTime(); }

bool MailService::haveDesktop() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Drafts hold whole reports: the folder and every file in it are the user's alone.
MailOutbox::Result MailService::writeDraft(const MailMessage& m) {
    Result r;
    const QDateTime now = timeOfDay();
    const MimeMessage::Result mime = MimeMessage::build(m, true, now);
    if (!mime.ok()) {
        r.error = mime.error;
        return r;
    }
    QDir dir(draftsFolder);
    if (!dir.mkpath(QStringLiteral(".")) ||
        !QFile::setPermissions(dir.absolutePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        r.error = QStringLiteral("The drafts folder %1 cannot be created.").arg(QDir::toNativeSeparators(draftsFolder));
        return r;
    }
    // A draft never replaces another: a name that another run takes meanwhile is passed over.
    const QString base = draftBase(dir, m.subject, now);
    QString path = freeDraftName(base, {});
    SafeOutputFile f;
    try {
        SafeOutputFile::Options o;
        o.ownerOnly = true;
        o.nextFreeName = [base](const QSet<QString>& passedOver) { return freeDraftName(base, passedOver); };
        f.open(path, o);
        f.write(std::string_view(mime.bytes.constData(), static_cast<size_t>(mime.bytes.size())));
        // A draft is whole or not there: a write that fails here is discarded,
        // where one failing inside commit() would be kept as it stands.
        f.flush();
        f.commit();
        path = f.path();
    } catch (const PcFileError& e) {
        f.discard();
        r.error = QStringLiteral("The draft %1 cannot be written: %2").arg(QDir::toNativeSeparators(path), e.description);
        return r;
    }
    r.draftPath = path;
    return r;
}

MailOutbox::Result MailService::openDraft(const MailMessage& message) {
    MailMessage m = message;
    if (m.from.isEmpty() && config) m.from = config().sender;
    Result r = writeDraft(m);
    if (!r.ok()) return r;
    ProcessStarter* p = starter ? starter() : nullptr;
    if (p && (!canOpen || canOpen())) r.opened = p->start(QStringLiteral("xdg-open"), {r.draftPath});
    if (!r.opened && notice) notice(r.draftPath);
    return r;
}

MailOutbox::Result MailService::send(const MailMessage& message) {
    Result r;
    const SmtpConfig c = config ? config() : SmtpConfig{};
    MailMessage m = message;
    m.from = c.sender;
    const MimeMessage::Result mime = MimeMessage::build(m, false, timeOfDay());
    if (!mime.ok()) {
        r.error = mime.error;
        return r;
    }
    const SmtpSender::Result sent = SmtpSender::send(c, MimeMessage::envelopeAddresses(m.to + m.cc), mime.bytes, whileSending);
    r.error = sent.error;
    if (r.ok()) return r;
    // What did not go is kept, as it would have gone, for the user to send later.
    const Result kept = writeDraft(m);
    if (kept.ok()) {
        r.draftPath = kept.draftPath;
        if (notice) notice(r.draftPath);
    } else {
        r.error += QLatin1Char(' ') + kept.error;
    }
    return r;
}
