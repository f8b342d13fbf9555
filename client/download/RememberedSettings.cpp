#include "RememberedSettings.h"

#include <QStringList>
#include <optional>

#include "SettingValues.h"
#include "TranslationTables.h"

bool UsablePageLength(const QString& v) {
    if (v == QLatin1String("Variable")) return true;
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok && n >= 1 && n <= 999 && v == QString::number(n);
}

namespace ScreenLists {
QStringList pdfFontSizes() {
    return {QStringLiteral("6"),  QStringLiteral("7"),  QStringLiteral("8"),  QStringLiteral("9"),  QStringLiteral("10"),
            QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("14"), QStringLiteral("18"), QStringLiteral("22")};
}
QStringList pdfVertSizes() {
    return {QStringLiteral("Auto"), QStringLiteral("7"),  QStringLiteral("8"), QStringLiteral("9"),
            QStringLiteral("10"),   QStringLiteral("11"), QStringLiteral("12")};
}
QStringList pdfPaperSizes() {
    return {QStringLiteral("Best fit"), QStringLiteral("Letter"),  QStringLiteral("Standard A4"),
            QStringLiteral("Narrow A5"), QStringLiteral("Wide"),    QStringLiteral("Tabloid"),
            QStringLiteral("Legal"),     QStringLiteral("Ledger"),  QStringLiteral("Executive"),
            QStringLiteral("Statement")};
}
QStringList htmlFontSizes() {
    return {QStringLiteral("4"),  QStringLiteral("5"),  QStringLiteral("6"),  QStringLiteral("7"),  QStringLiteral("8"),
            QStringLiteral("9"),  QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("13"),
            QStringLiteral("15"), QStringLiteral("18"), QStringLiteral("22"), QStringLiteral("26")};
}
}  // namespace ScreenLists

namespace {
void take(bool& field, const std::optional<bool>& value) {
    if (value) field = *value;
}

}  // namespace

RunSettings RememberedRunSettings(const std::function<QString(const QString& key)>& setting,
                                  const std::function<bool(const QString& destination)>& offered) {
    auto r = [&setting](const char* key) { return RememberedValue(setting(QString::fromLatin1(key))); };
    RunSettings s;
    DownloadOptions& o = s.options;
    // The lists' designed first entries.
    o.processType = QStringLiteral("Please select a destination...");
    o.pdfFontSize = ScreenLists::kPdfFontSize;
    o.pdfVertSize = ScreenLists::kPdfVertSize;
    o.pdfPaperSize = ScreenLists::pdfPaperSizes().first();
    o.htmlFontSize = ScreenLists::kHtmlFontSize;

    take(o.removeBlankLines, r("RemoveBlanks").ticked());
    take(o.convertMinusSign, r("MinusSign").ticked());
    take(o.runMacro, r("RunMacro").ticked());
    take(o.attachMultiples, r("AttachMultiples").ticked());
    take(o.autoSend, r("AutoSend").ticked());
    if (const auto b = r("Add replace").boolean())
        o.textFile = *b ? DownloadOptions::AddReplace::Replace : DownloadOptions::AddReplace::Add;
    if (r("Text or PDF").set()) o.emailAsPdf = r("Text or PDF").text() == QLatin1String("False");
    for (int i = 0; i < 3; ++i)
        if (r(("Parse" + std::to_string(i)).c_str()).isTrue()) o.parse = i;
    take(o.autoformat, r("Auto format").ticked());
    take(o.runSilent, r("Run silent").ticked());

    const RememberedValue pageLength = r("Page length");
    if (pageLength.notNone() && UsablePageLength(pageLength.text())) o.pageLength = pageLength.text();
    if (r("Notes tabs").notNone()) o.tabs = r("Notes tabs").trimmed();
    if (r("Notes tabs 2").notNone()) o.tabs2 = r("Notes tabs 2").trimmed();

    if (r("Translation").in(translationListEntries())) o.translation = r("Translation").trimmed();
    if (r("PDF Fontsize").in(ScreenLists::pdfFontSizes())) o.pdfFontSize = r("PDF Fontsize").trimmed();
    if (r("PDF Vertsize").in(ScreenLists::pdfVertSizes())) o.pdfVertSize = r("PDF Vertsize").trimmed();
    if (r("PDF Papersize").in(ScreenLists::pdfPaperSizes())) o.pdfPaperSize = r("PDF Papersize").trimmed();
    if (const auto b = r("PDF Page orientation").boolean()) o.pdfLandscape = !*b;
    if (const auto b = r("Html add replace").boolean()) o.htmlAddToFile = !*b;

    if (r("PRTCTL").set() && r("PRTCTL").text() == QLatin1String("1")) o.printControl = true;
    if (r("PRTCTL format").set()) o.fcfc = r("PRTCTL format").text() != QLatin1String("True");
    take(o.suppressOverprinting, r("SuppressOverprinting").ticked());
    if (const auto b = r("Auto email").boolean()) o.autoformat = *b;
    if (r("Html font").in(ScreenLists::htmlFontSizes())) o.htmlFontSize = r("Html font").trimmed();

    const RememberedValue defaults = r("Defaults");
    if (defaults.notNone() && readAsBoolean(defaults.text()).value_or(false)) {
        // The remembered destination comes back when this PC offers it.
        if (r("Process").set() && offered(r("Process").trimmed())) o.processType = r("Process").trimmed();
        if (r("From").set()) o.fromPage = r("From").trimmed();
        if (r("To").set()) o.toPage = r("To").trimmed();
    }
    o.email = r("Email").set() && r("Email").isTrue() ? 0 : 1;
    ReadDialogOptions(o, setting);
    return s;
}
