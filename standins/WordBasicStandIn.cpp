#include "WordBasicStandIn.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "OfficeAutomation.h"
#include "ProcessStarter.h"

namespace {
constexpr QChar kMark(0x2022);  // character 149 of the Windows code page

AutomationError refused(const QString& why) { return AutomationError(285, why); }
}  // namespace

LocalDdeServer::Conversation WordBasicStandIn::conversation() {
    return {[this](const QString& c) { execute(c); }, [this] { showNewDocuments(); }};
}

void WordBasicStandIn::execute(const QString& command) {
    static const QRegularExpression statement(QStringLiteral("^\\s*\\[\\s*(\\w+)\\s*(.*)\\]\\s*$"),
                                              QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression name(QStringLiteral("\\.Name\\s*=\\s*\"((?:[^\"]|\"\")*)\""));
    const auto m = statement.match(command);
    if (!m.hasMatch()) throw refused(QStringLiteral("Not a WordBasic statement: %1").arg(command));
    const QString verb = m.captured(1).toLower();
    if (verb == u"toolsmacro") throw AutomationError(OfficeMacros::kUnavailable, OfficeMacros::unavailableText());
    if (verb != u"fileopen") throw refused(QStringLiteral("WordBasic %1 is not available").arg(m.captured(1)));
    const auto n = name.match(m.captured(2));
    if (!n.hasMatch()) throw refused(QStringLiteral("FileOpen without .Name"));
    const QString file = n.captured(1).replace(QLatin1String("\"\""), QLatin1String("\""));
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix.startsWith(u"dot")) throw AutomationError(OfficeMacros::kUnavailable, OfficeMacros::unavailableText());
    auto doc = std::make_shared<TextDocumentModel>();
    if (!doc->loadText(file)) throw refused(QStringLiteral("Cannot open %1").arg(file));
    QStringList lines = doc->content().split(QLatin1Char('\n'));
    for (QString& l : lines)
        if (l == QString(kMark)) l = QStringLiteral("\f");
    doc->text = lines.join(QLatin1Char('\n')).replace(QStringLiteral("\f\n"), QStringLiteral("\f"));
    doc->fontFamily = QStringLiteral("Courier New");
    doc->fontSize = 10;
    docs_.push_back(std::move(doc));
}

void WordBasicStandIn::showNewDocuments() {
    for (auto& d : docs_) {
        if (d->shown) continue;
        d->shown = true;
        const QString copy = UnsavedCopyPath(desk_, d->path, QStringLiteral("odt"));
        if (!WriteOdt(*d, copy, desk_.timeOfDay(), nullptr)) continue;
        if (ProcessStarter* p = desk_.processes ? desk_.processes() : nullptr) p->start(desk_.opener, {copy});
    }
}
