// GMime first: its GLib headers must not meet Qt's keyword macros.
#include <gmime/gmime.h>

#include "MimeMessage.h"

#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <mutex>

QStringList MailMessage::splitAddresses(const QString& field) {
    QStringList out;
    for (const QString& piece : field.split(QRegularExpression(QStringLiteral("[;,]"))))
        if (!piece.trimmed().isEmpty()) out << piece.trimmed();
    return out;
}

namespace MimeMessage {
namespace {
void ensureInit() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

// Owns one GObject reference.
template <class T>
struct Ref {
    T* p = nullptr;
    explicit Ref(T* o) : p(o) {}
    ~Ref() {
        if (p) g_object_unref(p);
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
};

bool addAddresses(GMimeMessage* msg, GMimeAddressType type, const QStringList& addresses, QString& error) {
    InternetAddressList* list = g_mime_message_get_addresses(msg, type);
    for (const QString& a : addresses) {
        const QByteArray utf8 = a.toUtf8();
        InternetAddressList* parsed = internet_address_list_parse(nullptr, utf8.constData());
        if (!parsed || internet_address_list_length(parsed) != 1) {
            if (parsed) g_object_unref(parsed);
            error = QStringLiteral("\"%1\" is not an e-mail address.").arg(a);
            return false;
        }
        internet_address_list_append(list, parsed);
        g_object_unref(parsed);
    }
    return true;
}

GMimeObject* textPart(const MailMessage& m) {
    GMimeTextPart* part = g_mime_text_part_new_with_subtype(m.htmlBody ? "html" : "plain");
    QString body = m.body;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // UTF-8 as it stands: set_text would pick another charset for text that
    // fits one (Latin-1 for "é"), which a later charset label then belies.
    const QByteArray utf8 = body.toUtf8();
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(utf8.constData(), static_cast<size_t>(utf8.size()));
    GMimeDataWrapper* content = g_mime_data_wrapper_new_with_stream(stream, GMIME_CONTENT_ENCODING_DEFAULT);
    GMimePart* p = GMIME_PART(part);
    g_mime_part_set_content(p, content);
    g_object_unref(content);
    g_object_unref(stream);
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", "utf-8");
    g_mime_part_set_content_encoding(p, g_mime_part_get_best_content_encoding(p, GMIME_ENCODING_CONSTRAINT_7BIT));
    return GMIME_OBJECT(part);
}

GMimeObject* attachmentPart(const MailMessage::Attachment& a, QString& error) {
    QFile f(a.path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("The attachment %1 cannot be read: %2").arg(a.path, f.errorString());
        return nullptr;
    }
    const QByteArray data = f.readAll();
    const QString name = a.name.isEmpty() ? QFileInfo(a.path).fileName() : a.name;
    const QByteArray type = contentTypeFor(name).toLatin1();
    const int slash = type.indexOf('/');
    GMimePart* part = g_mime_part_new_with_type(type.left(slash).constData(), type.mid(slash + 1).constData());
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(data.constData(), static_cast<size_t>(data.size()));
    GMimeDataWrapper* content = g_mime_data_wrapper_new_with_stream(stream, GMIME_CONTENT_ENCODING_DEFAULT);
    g_mime_part_set_content(part, content);
    // Our text files are written in the single-byte code page of the reports.
    if (type == "text/plain") g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", "windows-1252");
    g_object_unref(content);
    g_object_unref(stream);
    g_mime_object_set_disposition(GMIME_OBJECT(part), GMIME_DISPOSITION_ATTACHMENT);
    g_mime_part_set_filename(part, name.toUtf8().constData());
    g_mime_part_set_content_encoding(part, GMIME_CONTENT_ENCODING_BASE64);
    return GMIME_OBJECT(part);
}
}  // namespace

QString contentTypeFor(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("txt")) return QStringLiteral("text/plain");
    if (suffix == QLatin1String("pdf")) return QStringLiteral("application/pdf");
    const QMimeType t = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    return t.isValid() && !t.isDefault() ? t.name() : QStringLiteral("application/octet-stream");
}

QStringList envelopeAddresses(const QStringList& addresses) {
    ensureInit();
    QStringList out;
    for (const QString& a : addresses) {
        QString bare = a.trimmed();
        InternetAddressList* parsed = internet_address_list_parse(nullptr, a.toUtf8().constData());
        if (parsed && internet_address_list_length(parsed) == 1) {
            InternetAddress* one = internet_address_list_get_address(parsed, 0);
            if (INTERNET_ADDRESS_IS_MAILBOX(one))
                bare = QString::fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(one)));
        }
        if (parsed) g_object_unref(parsed);
        out << bare;
    }
    return out;
}

Result build(const MailMessage& m, bool draft, const QDateTime& date) {
    ensureInit();
    Result r;
    Ref<GMimeMessage> msg(g_mime_message_new(TRUE));
    if (!m.from.isEmpty() && !addAddresses(msg.p, GMIME_ADDRESS_TYPE_FROM, {m.from}, r.error)) return r;
    if (!addAddresses(msg.p, GMIME_ADDRESS_TYPE_TO, m.to, r.error)) return r;
    if (!addAddresses(msg.p, GMIME_ADDRESS_TYPE_CC, m.cc, r.error)) return r;
    g_mime_message_set_subject(msg.p, m.subject.toUtf8().constData(), "utf-8");
    GDateTime* when = g_date_time_new_from_unix_local(date.toSecsSinceEpoch());
    g_mime_message_set_date(msg.p, when);
    g_date_time_unref(when);
    char* id = g_mime_utils_generate_message_id(QHostInfo::localHostName().toUtf8().constData());
    g_mime_message_set_message_id(msg.p, id);
    g_free(id);
    if (draft) g_mime_object_set_header(GMIME_OBJECT(msg.p), "X-Unsent", "1", nullptr);

    GMimeObject* body = textPart(m);
    if (m.attachments.empty()) {
        g_mime_message_set_mime_part(msg.p, body);
        g_object_unref(body);
    } else {
        Ref<GMimeMultipart> mixed(g_mime_multipart_new_with_subtype("mixed"));
        g_mime_multipart_add(mixed.p, body);
        g_object_unref(body);
        for (const MailMessage::Attachment& a : m.attachments) {
            GMimeObject* part = attachmentPart(a, r.error);
            if (!part) return r;
            g_mime_multipart_add(mixed.p, part);
            g_object_unref(part);
        }
        g_mime_message_set_mime_part(msg.p, GMIME_OBJECT(mixed.p));
    }

    GMimeFormatOptions* options = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(options, GMIME_NEWLINE_FORMAT_DOS);
    Ref<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(GMIME_OBJECT(msg.p), options, out.p);
    g_mime_format_options_free(options);
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.p));
    r.bytes = QByteArray(reinterpret_cast<const char*>(bytes->data), static_cast<qsizetype>(bytes->len));
    return r;
}
}  // namespace MimeMessage
