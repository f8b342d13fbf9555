#include "SmtpSender.h"

#include <curl/curl.h>

#include <sys/socket.h>

#include <cstring>
#include <mutex>

namespace SmtpSender {
namespace {
struct Upload {
    const QByteArray* data;
    qsizetype offset = 0;
};

size_t readBody(char* buffer, size_t size, size_t count, void* user) {
    auto* up = static_cast<Upload*>(user);
    const size_t room = size * count;
    const size_t left = static_cast<size_t>(up->data->size() - up->offset);
    const size_t n = left < room ? left : room;
    std::memcpy(buffer, up->data->constData() + up->offset, n);
    up->offset += static_cast<qsizetype>(n);
    return n;
}

struct Progress {
    const std::function<bool()>* whileSending;
    bool stopped = false;
};

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* p = static_cast<Progress*>(user);
    if ((*p->whileSending)()) return 0;
    p->stopped = true;
    return 1;
}

QByteArray angle(const QString& address) { return "<" + address.trimmed().toUtf8() + ">"; }

// The dialogue as the server answered it: the recipient it refused and its
// own words, which say more than the reply code alone.
struct Dialogue {
    QByteArray lastCommand;
    QByteArray refused;       // the address of the RCPT the server refused
    QByteArray refusal;       // its reply
    QByteArray lastError;     // the last 4xx or 5xx reply to anything
};

int onDebug(CURL*, curl_infotype type, char* data, size_t size, void* user) {
    auto* d = static_cast<Dialogue*>(user);
    const QByteArray text = QByteArray(data, static_cast<qsizetype>(size)).trimmed();
    if (type == CURLINFO_HEADER_OUT) {
        d->lastCommand = text;
    } else if (type == CURLINFO_HEADER_IN && !text.isEmpty() && (text[0] == '4' || text[0] == '5')) {
        d->lastError = text;
        if (d->refused.isEmpty() && d->lastCommand.toUpper().startsWith("RCPT TO:")) {
            QByteArray a = d->lastCommand.mid(8).trimmed();
            if (a.startsWith('<')) a = a.mid(1, a.indexOf('>') - 1);
            d->refused = a;
            d->refusal = text;
        }
    }
    return 0;
}
}  // namespace

Result send(const SmtpConfig& config, const QStringList& recipients, const QByteArray& message,
            const std::function<bool()>& whileSending) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    Result r;
    // The settings file named is the one in use (XDG_CONFIG_HOME moves it).
    const QString where = QStringLiteral(" (") +
                          (config.settingsFile.isEmpty() ? QString() : config.settingsFile + QStringLiteral("; ")) +
                          QStringLiteral("README, \"E-mail on Linux\").");
    if (config.url.trimmed().isEmpty()) {
        r.error = QStringLiteral(
                      "No mail server is set: set \"Mail server\" (and \"Mail sender\") in the [Settings] section "
                      "of the settings file") +
                  where;
        return r;
    }
    if (config.sender.trimmed().isEmpty()) {
        r.error =
            QStringLiteral("No sender address is set: set \"Mail sender\" in the [Settings] section of the settings file") +
            where;
        return r;
    }
    if (recipients.isEmpty()) {
        r.error = QStringLiteral("The message has no recipient.");
        return r;
    }
    CURL* curl = curl_easy_init();
    if (!curl) {
        r.error = QStringLiteral("The mail library could not start.");
        return r;
    }
    char errorText[CURL_ERROR_SIZE] = {};
    const QByteArray url = config.url.trimmed().toUtf8();
    const QByteArray from = angle(config.sender);
    const QByteArray user = config.user.toUtf8();
    const QByteArray password = config.password.toUtf8();
    curl_slist* rcpt = nullptr;
    for (const QString& a : recipients) rcpt = curl_slist_append(rcpt, angle(a).constData());
    Upload upload{&message};

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_USE_SSL, config.requireTls ? static_cast<long>(CURLUSESSL_ALL)
                                                              : static_cast<long>(CURLUSESSL_NONE));
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readBody);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, config.connectTimeoutSec);
    // The bound is on waiting, not on the whole send: a large report over a
    // slow line takes as long as it takes while its bytes keep moving.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, config.timeoutSec);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, config.timeoutSec);
    Dialogue dialogue;
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, onDebug);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &dialogue);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    Progress progress{&whileSending};
    if (whileSending) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &progress);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    }

    const CURLcode rc = curl_easy_perform(curl);
    if (progress.stopped || rc == CURLE_OPERATION_TIMEDOUT) {
        // The goodbye at cleanup would wait for this server once more, for
        // the whole bound: a cancelled or unanswered send ends now.
        curl_socket_t fd = CURL_SOCKET_BAD;
        if (curl_easy_getinfo(curl, CURLINFO_ACTIVESOCKET, &fd) == CURLE_OK && fd != CURL_SOCKET_BAD)
            ::shutdown(fd, SHUT_RDWR);
    }
    if (rc != CURLE_OK) {
        const QString detail = progress.stopped
                                   ? QStringLiteral("the send was cancelled.")
                                   : QString::fromUtf8(errorText[0] ? errorText : curl_easy_strerror(rc)).trimmed();
        if (!progress.stopped && !dialogue.refused.isEmpty())
            r.error = QStringLiteral("The mail server %1 refused the recipient %2: %3")
                          .arg(config.url.trimmed(), QString::fromUtf8(dialogue.refused), QString::fromUtf8(dialogue.refusal));
        else if (!progress.stopped && !dialogue.lastError.isEmpty())
            r.error = QStringLiteral("The mail server %1 did not take the message: %2 (it replied \"%3\")")
                          .arg(config.url.trimmed(), detail, QString::fromUtf8(dialogue.lastError));
        else
            r.error = QStringLiteral("The mail server %1 did not take the message: %2").arg(config.url.trimmed(), detail);
    }
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(curl);
    return r;
}
}  // namespace SmtpSender
