#pragma once
#include <QString>
#include <QStringList>

class Services;

// The known hosts offered by the connection options: the hosts list file
// beside the program, else the history of connected hosts (URL0 .. URL9).
namespace HostHistory {
constexpr int kMaxEntries = 10;

QString hostsListPath(Services& ctx);
// Values of Host0 .. Host9 in section "Spoolwright Hosts", in key order; a
// missing, empty or "None" value is skipped. Nothing when the file is absent.
QStringList readHostsListFile(const QString& path);
// URL0 .. URL9 up to the first empty or "None" value.
QStringList readHistory(Services& ctx);
// Rewrites the whole history: the current host first, then the other
// entries in their order, each once, at most kMaxEntries.
void rewriteHistory(Services& ctx, const QString& current, const QStringList& entries);

// A dotted IPv4 address, an IPv6 address, or a host name made of labels of
// letters, digits, '-' and '_'.
bool isValidHostSyntax(const QString& text);
QString invalidHostMessage(const QString& text);
}  // namespace HostHistory
