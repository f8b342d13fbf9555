#include "HostHistory.h"

#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <iterator>

#include "Services.h"
#include "Codec.h"
#include "SettingValues.h"

namespace HostHistory {
namespace {
constexpr int kMaxValueLength = 100;

static_assert(std::size(Setting::HostHistory) == kMaxEntries);
const SettingKey& historyKey(int i) { return Setting::HostHistory[i]; }

// The value of one key of one section, read as the platform's
// initialisation-file reader did: names without regard to case, the value
// trimmed and freed of one pair of surrounding quotes.
QString iniValue(const QList<QByteArray>& lines, const QString& section, const QString& key, bool* found) {
    bool inSection = false;
    for (const QByteArray& raw : lines) {
        const QString line = Codec::toUnicode(raw.toStdString()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            inSection = close > 0 && line.mid(1, close - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith(QLatin1Char(';'))) continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0) continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        *found = true;
        return value.left(kMaxValueLength);
    }
    *found = false;
    return {};
}

bool isDottedNumber(const QString& t) {
    for (QChar c : t)
        if (!(c.isDigit() && c.unicode() < 0x80) && c != QLatin1Char('.')) return false;
    return true;
}

bool isIPv4(const QString& t) {
    const QStringList parts = t.split(QLatin1Char('.'));
    if (parts.size() != 4) return false;
    for (const QString& p : parts) {
        if (p.isEmpty() || p.size() > 3 || p.toInt() > 255) return false;
    }
    return true;
}

bool isLabel(const QString& l) {
    if (l.isEmpty() || l.size() > 63 || l.front() == QLatin1Char('-') || l.back() == QLatin1Char('-')) return false;
    for (QChar c : l) {
        const bool ascii = c.unicode() < 0x80;
        if (!(ascii && (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')))) return false;
    }
    return true;
}
}  // namespace

QString hostsListPath(Services& ctx) {
    const QString dir = ctx.paths ? ctx.paths->appPath() : QCoreApplication::applicationDirPath();
    return dir + QStringLiteral("/SpwHosts.ini");
}

QStringList readHostsListFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QList<QByteArray> lines = f.readAll().split('\n');
    QStringList out;
    for (int i = 0; i < kMaxEntries; ++i) {
        bool found = false;
        const QString v = iniValue(lines, QStringLiteral("Spoolwright Hosts"), QStringLiteral("Host%1").arg(i), &found);
        if (found && HasText(v)) out << v;
    }
    return out;
}

QStringList readHistory(Services& ctx) {
    QStringList out;
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString v = ctx.getSetting(historyKey(i)).trimmed();
        if (!HasText(v)) break;
        out << v;
    }
    return out;
}

void rewriteHistory(Services& ctx, const QString& current, const QStringList& entries) {
    // Only a host that was actually used heads the history.
    if (!HasValue(current)) return;
    QStringList history{current};
    for (const QString& e : entries) {
        if (history.size() >= kMaxEntries) break;
        const QString t = e.trimmed();
        if (!t.isEmpty() && !history.contains(t)) history << t;
    }
    for (int i = 0; i < kMaxEntries; ++i) {
        if (i < history.size())
            ctx.saveSetting(historyKey(i), history[i]);
        else
            ctx.removeSetting(historyKey(i));
    }
}

bool isValidHostSyntax(const QString& text) {
    if (text.isEmpty() || text.size() > 253) return false;
    if (text.contains(QLatin1Char(':'))) return QHostAddress(text).protocol() == QAbstractSocket::IPv6Protocol;
    if (isDottedNumber(text)) return isIPv4(text);
    QString name = text;
    if (name.endsWith(QLatin1Char('.'))) name.chop(1);
    const QStringList labels = name.split(QLatin1Char('.'));
    for (const QString& l : labels)
        if (!isLabel(l)) return false;
    return true;
}

QString invalidHostMessage(const QString& text) {
    return QStringLiteral("'%1' is not a valid IP address or host name.  Please specify a dotted IP address such as "
                          "192.168.1.20, or a host name such as myiseries or myiseries.example.com.")
        .arg(text);
}
}  // namespace HostHistory
