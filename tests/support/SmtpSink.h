#pragma once
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

// A real SMTP server on loopback for one test: Debian's aiosmtpd, started on
// a free port and stopped with the fixture. It records every message.
//
//   SmtpSink sink({.refuse = {"nobody@example.org"}});
//   ... send to sink.url() ...
//   ASSERT_EQ(sink.messages().size(), 1u);
struct SmtpSinkOptions {
    QStringList refuse;   // recipients refused with 550
    QString user;         // set: AUTH required with this user and password
    QString password;
    bool stall = false;   // the message's data is never answered (holding() says when it came)
    int slowSeconds = 0;  // a slow line: the client's bytes trickle in for this long
};

class SmtpSink {
public:
    struct Received {
        QString from;
        QStringList recipients;
        QByteArray data;
    };
    explicit SmtpSink(SmtpSinkOptions options = {});
    ~SmtpSink();
    bool running() const { return port_ != 0; }
    QString url() const;
    std::vector<Received> messages() const;
    // A stalling sink has the whole of a message and leaves the client waiting for its answer.
    bool holding() const;
    QString problem() const { return problem_; }

private:
    QTemporaryDir dir_;
    QProcess server_;
    quint16 port_ = 0;
    QString problem_;
};

// A message parsed back with GMime.
struct ParsedMail {
    bool ok = false;
    QString subject, from;
    QStringList to;
    QString unsent;     // the X-Unsent header
    QString body;       // the first text part, decoded
    QString bodyType;   // "text/plain" or "text/html"
    struct Part {
        QString fileName, contentType;
        QByteArray content;
    };
    std::vector<Part> attachments;   // in message order
    static ParsedMail parse(const QByteArray& data);
    static ParsedMail parseFile(const QString& path);
};
