#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// One e-mail as the deliveries hand it over, whatever mail program takes it:
// the recipients, the subject, a text or HTML body and the attached files in
// the order they were added.
struct MailMessage {
    QString from;        // sender address; empty in a draft the user completes
    QStringList to;      // one address each
    QStringList cc;
    QString subject;
    QString body;
    bool htmlBody = false;
    struct Attachment {
        QString path;    // read when the message is written out
        QString name;    // as the recipient sees it; empty: the file's name
    };
    std::vector<Attachment> attachments;

    // Splits a typed recipient field ("a@x.org; b@y.org,c@z.org") into addresses.
    static QStringList splitAddresses(const QString& field);
};
