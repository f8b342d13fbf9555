#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

// Where and how mail is submitted.
struct SmtpConfig {
    QString url;        // "smtp://mail.example.org:587" or "smtps://mail.example.org:465"
    QString user;       // empty: no authentication
    QString password;   // in clear, only for the time of a send
    QString sender;     // envelope and From address
    bool requireTls = true;  // smtp://: STARTTLS or nothing; smtps:// is always TLS
    long connectTimeoutSec = 20;
    long timeoutSec = 120;   // a server that stops answering (or taking bytes) this long ends the send
    QString settingsFile;    // where these are set, for the messages that say what is missing
};

// Submits a message over SMTP with libcurl.
namespace SmtpSender {
struct Result {
    QString error;       // empty: the server took the message
    bool ok() const { return error.isEmpty(); }
};
// `whileSending`, when set, is called again and again while the message goes
// (so that the program's windows keep answering); false stops the send.
Result send(const SmtpConfig& config, const QStringList& recipients, const QByteArray& message,
            const std::function<bool()>& whileSending = {});
}  // namespace SmtpSender
