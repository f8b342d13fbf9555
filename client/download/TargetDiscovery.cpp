#include "TargetDiscovery.h"

#include <QFileInfo>

#include "RunContext.h"
#include "ProcessType.h"
#include "ProcessTypes.h"
#include "RegistryAccess.h"

namespace {
constexpr qsizetype kShortPathBuffer = 100;

struct Probe {
    RunContext& ctx;
    qint32 n = 0;
    // The default value of a local-machine key; empty when missing.
    QString value(const char* key) {
        n = 0;
        if (!ctx.services.machineRegistry) return {};
        return ReadMachineRegistryValue(*ctx.services.machineRegistry, QString::fromLatin1(key), n);
    }
    QString named(const char* key, const char* name) {
        QString v;
        if (ctx.services.machineRegistry)
            ReadRegistryValue(*ctx.services.machineRegistry, kHkeyLocalMachine, QString::fromLatin1(key), QString::fromLatin1(name), v);
        return v;
    }
    // The last two characters of a CurVer value; empty when it is too short.
    QString version(const char* key) {
        const QString v = value(key);
        return v.size() >= 2 ? v.right(2) : QString();
    }
};

// The short form of a program path. Paths here have no short form: the
// path itself, when it names a file and fits the buffer.
QString shortPathName(const QString& path) {
    if (path.size() >= kShortPathBuffer || !QFileInfo(path).exists()) return {};
    return path;
}

// An Outlook or Outlook Express open command: from its second character to
// three past the first "." (a quoted "C:\...\msimn.exe" /x gives the path).
QString programPath(const QString& command) {
    const qsizetype dot = command.indexOf(QLatin1Char('.')) + 1;  // 0 when none
    return command.mid(1, dot + 2);
}

bool oneOf(const QString& v, std::initializer_list<const char*> list) {
    for (const char* s : list)
        if (v == QLatin1String(s)) return true;
    return false;
}
}  // namespace

QStringList DiscoverDeliveryTargets(RunContext& ctx) {
    QStringList list = ProcessTypes::alwaysOffered();
    Probe p{ctx};

    QString netscape = p.value("Software\\Clients\\Mail\\Netscape Messenger\\Protocols\\mailto\\shell\\open\\command");
    if (netscape.isEmpty())
        netscape = p.value("Software\\Clients\\Mail\\Netscape Communicator\\Protocols\\mailto\\shell\\open\\command");
    if (!netscape.isEmpty()) {
        // Without its last five characters (the " "%1"" of the command); too short counts as not found.
        netscape = p.n > 6 ? netscape.left(p.n - 6) : QString();
        if (!netscape.isEmpty()) ctx.targets.gNetscapeVersion = p.named("SOFTWARE\\Netscape\\Netscape Navigator", "CurrentVersion").left(3);
    } else {
        netscape = p.value("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscp6.exe");
        if (!netscape.isEmpty()) {
            ctx.targets.gNetscapeVersion = p.named("SOFTWARE\\Netscape\\Netscape 6", "CurrentVersion").left(3);
            netscape = shortPathName(netscape);
        }
    }
    ctx.targets.gNetscapeCommand = netscape;
    auto offer = [&list](Destination d) { list << ProcessTypeOf(d).text; };
    if (!netscape.isEmpty()) offer(Destination::NetscapeMail);

    ctx.targets.gOutlookExpressCommand = p.value("Software\\Clients\\Mail\\Outlook Express\\shell\\open\\command");
    if (!ctx.targets.gOutlookExpressCommand.isEmpty()) {
        ctx.targets.gOutlookExpressCommand = programPath(ctx.targets.gOutlookExpressCommand);
        offer(Destination::OutlookExpressMail);
    }
    ctx.targets.gOutlookCommand = p.value("Software\\Clients\\Mail\\Microsoft Outlook\\shell\\open\\command");
    if (!ctx.targets.gOutlookCommand.isEmpty()) {
        ctx.targets.gOutlookCommand = programPath(ctx.targets.gOutlookCommand);
        offer(Destination::OutlookMail);
    }
    if (!p.value("Software\\Clients\\Mail\\Lotus Notes\\shell\\open\\command").isEmpty())
        offer(Destination::LotusNotes);

    const auto officeVersions = {"10", "11", "12", "13", "14", "15", "16", "17"};
    const QString excel = p.version("SOFTWARE\\Classes\\Excel.Application\\CurVer");
    if (oneOf(excel, officeVersions)) {
        ctx.targets.gExcelVersion = excel;
        offer(Destination::MicrosoftExcel);
    }
    if (!p.value("SOFTWARE\\Classes\\Word.Application\\CurVer").isEmpty()) {
        const QString word = p.version("SOFTWARE\\Classes\\Word.Application\\CurVer");
        if (oneOf(word, officeVersions)) offer(Destination::MicrosoftWord);
        ctx.targets.gWordVersion = word;
    }
    const QString lotus = p.version("SOFTWARE\\Classes\\Lotus123.Workbook\\CurVer");
    if (oneOf(lotus, {"97", "98"})) {
        ctx.targets.gLotus123Version = lotus;
        offer(Destination::Lotus123);
        if (p.value("SOFTWARE\\Classes\\WordPro.Application") == QLatin1String("WordPro.Application"))
            offer(Destination::LotusWordPro);
    }
    return list;
}
