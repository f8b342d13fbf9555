#include "WordBasicStandIn.h"

#include <QDir>
#include <algorithm>
#include <QFileInfo>
#include <QRegularExpression>

#include "OfficeAutomation.h"
#include "ProcessStarter.h"

namespace {
constexpr QChar kMark(0x2022);  // character 149 of the Windows code page

AutomationError refused(const QString& why) { return AutomationError(285, why); }
}  // namespace

LocalDdeServer::Conversation WordBasicStandIn::conversation() {
    return {[this](const QString& c) { execute(c); }, [this] { showNewDocuments(); },
            [this](const QString& item) {
                if (item.compare(QLatin1String(WordBasic::kShownDocuments), Qt::CaseInsensitive) != 0)
                    throw refused(QStringLiteral("No item %1").arg(item));
                return showNewDocuments().join(QLatin1Char('\t'));
            }};
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
    // A line of the mark alone is the page break, as the Word delivery
    // replaces it: every other line stays, the empty ones a page begins with too.
    doc->replaceAll(QStringLiteral("^p") + kMark + QStringLiteral("^p"), QStringLiteral("^p^m^p"));
    doc->fontFamily = QStringLiteral("Courier New");
    // The size the Word delivery sets by the report's width: 9 points for
    // 80 columns, 6 for a wider one.
    qsizetype widest = 0;
    doc->forEachLine([&](QStringView l) { widest = std::max(widest, l.size()); });
    doc->fontSize = widest <= 80 ? 9 : 6;
    docs_.push_back(std::move(doc));
}

QStringList WordBasicStandIn::showNewDocuments() {
    QStringList copies;
    for (auto& d : docs_) {
        if (d->shown) continue;
        d->shown = true;
        const QString copy = UnsavedCopyPath(desk_, d->path, QStringLiteral("odt"));
        if (!WriteOdt(*d, copy, desk_.timeOfDay(), nullptr)) continue;
        copies << copy;
        // Nobody watches a batch run: the document is kept, and the run says where.
        if (desk_.unattended && desk_.unattended()) {
            if (desk_.keptUnshown) desk_.keptUnshown(copy);
            continue;
        }
        if (ProcessStarter* p = desk_.processes ? desk_.processes() : nullptr) p->start(desk_.opener, {copy});
    }
    return copies;
}
