#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "MailMessage.h"

// RFC 5322 / MIME form of a message, built with GMime: encoded words for
// non-ASCII headers, quoted-printable or base64 bodies, multipart/mixed when
// files are attached.
namespace MimeMessage {
struct Result {
    QByteArray bytes;   // CR LF line ends
    QString error;      // empty when the message was built
    bool ok() const { return error.isEmpty(); }
};
// draft: marks the message unsent (X-Unsent: 1) for a mail program to open.
// The message is dated `date`.
Result build(const MailMessage& message, bool draft, const QDateTime& date);
// The content type a file name suggests ("application/pdf", "text/plain", ...).
QString contentTypeFor(const QString& fileName);
// The bare addresses a server is given for recipients written as in a header
// ("Ann Smith <ann@example.org>" gives "ann@example.org").
QStringList envelopeAddresses(const QStringList& addresses);
}  // namespace MimeMessage
