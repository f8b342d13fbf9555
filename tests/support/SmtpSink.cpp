#include <gmime/gmime.h>

#include "SmtpSink.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

SmtpSink::SmtpSink(SmtpSinkOptions o) {
    QStringList args{QStringLiteral(SW_SOURCE_DIR "/tests/support/smtp_sink.py"), QStringLiteral("--dir"), dir_.path()};
    for (const QString& r : o.refuse) args << QStringLiteral("--refuse") << r;
    if (o.stall) args << QStringLiteral("--stall");
    if (o.slowSeconds > 0) args << QStringLiteral("--slow") << QString::number(o.slowSeconds);
    if (!o.user.isEmpty()) args << QStringLiteral("--user") << o.user << QStringLiteral("--password") << o.password;
    // Debian's own interpreter, which has python3-aiosmtpd.
    server_.start(QStringLiteral("/usr/bin/python3"), args);
    if (!server_.waitForStarted(10000)) {
        problem_ = QStringLiteral("cannot start /usr/bin/python3");
        return;
    }
    QByteArray out;
    for (int i = 0; i < 100 && !out.contains('\n'); ++i) {
        if (!server_.waitForReadyRead(200) && server_.state() == QProcess::NotRunning) break;
        out += server_.readAllStandardOutput();
    }
    if (out.startsWith("PORT ")) port_ = static_cast<quint16>(out.mid(5).trimmed().toUInt());
    if (!port_) problem_ = QString::fromUtf8(out + server_.readAllStandardError());
}

SmtpSink::~SmtpSink() {
    server_.closeWriteChannel();
    if (!server_.waitForFinished(5000)) {
        server_.kill();
        server_.waitForFinished(5000);
    }
}

QString SmtpSink::url() const { return QStringLiteral("smtp://127.0.0.1:%1").arg(port_); }

bool SmtpSink::holding() const { return QFile::exists(QDir(dir_.path()).filePath(QStringLiteral("holding"))); }

std::vector<SmtpSink::Received> SmtpSink::messages() const {
    std::vector<Received> all;
    for (int n = 1;; ++n) {
        QFile eml(QDir(dir_.path()).filePath(QStringLiteral("%1.eml").arg(n)));
        QFile env(QDir(dir_.path()).filePath(QStringLiteral("%1.env").arg(n)));
        if (!eml.open(QIODevice::ReadOnly) || !env.open(QIODevice::ReadOnly)) break;
        Received r;
        r.data = eml.readAll();
        const QJsonObject o = QJsonDocument::fromJson(env.readAll()).object();
        r.from = o.value(QStringLiteral("from")).toString();
        for (const QJsonValue& v : o.value(QStringLiteral("rcpt")).toArray()) r.recipients << v.toString();
        all.push_back(r);
    }
    return all;
}

namespace {
QByteArray partContent(GMimePart* part) {
    GMimeDataWrapper* w = g_mime_part_get_content(part);
    if (!w) return {};
    GMimeStream* mem = g_mime_stream_mem_new();
    g_mime_data_wrapper_write_to_stream(w, mem);
    GByteArray* b = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(mem));
    QByteArray out(reinterpret_cast<const char*>(b->data), static_cast<qsizetype>(b->len));
    g_object_unref(mem);
    return out;
}

void collect(GMimeObject* parent, GMimeObject* part, gpointer data) {
    (void)parent;
    auto* m = static_cast<ParsedMail*>(data);
    if (!GMIME_IS_PART(part)) return;
    GMimePart* p = GMIME_PART(part);
    char* type = g_mime_content_type_get_mime_type(g_mime_object_get_content_type(part));
    const QString contentType = QString::fromUtf8(type).toLower();
    g_free(type);
    const char* name = g_mime_part_get_filename(p);
    if (name || g_mime_part_is_attachment(p)) {
        m->attachments.push_back({QString::fromUtf8(name), contentType, partContent(p)});
    } else if (m->bodyType.isEmpty()) {
        m->bodyType = contentType;
        // Decoded from the charset the part names.
        if (GMIME_IS_TEXT_PART(part)) {
            char* text = g_mime_text_part_get_text(GMIME_TEXT_PART(part));
            m->body = QString::fromUtf8(text);
            g_free(text);
        } else {
            m->body = QString::fromUtf8(partContent(p));
        }
    }
}

QStringList addresses(InternetAddressList* list) {
    QStringList out;
    for (int i = 0; list && i < internet_address_list_length(list); ++i) {
        InternetAddress* a = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_MAILBOX(a))
            out << QString::fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(a)));
    }
    return out;
}
}  // namespace

ParsedMail ParsedMail::parse(const QByteArray& data) {
    g_mime_init();
    ParsedMail m;
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(data.constData(), static_cast<size_t>(data.size()));
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    GMimeMessage* msg = g_mime_parser_construct_message(parser, nullptr);
    if (msg) {
        m.ok = true;
        m.subject = QString::fromUtf8(g_mime_message_get_subject(msg));
        const QStringList from = addresses(g_mime_message_get_from(msg));
        m.from = from.value(0);
        m.to = addresses(g_mime_message_get_to(msg));
        m.unsent = QString::fromUtf8(g_mime_object_get_header(GMIME_OBJECT(msg), "X-Unsent"));
        g_mime_message_foreach(msg, collect, &m);
        g_object_unref(msg);
    }
    g_object_unref(parser);
    g_object_unref(stream);
    return m;
}

ParsedMail ParsedMail::parseFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return parse(f.readAll());
}
