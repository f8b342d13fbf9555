#include "RememberedSettings.h"

#include <QStringList>
#include <optional>

#include "SettingKeys.h"
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
    auto r = [&setting](const SettingKey& key) { return RememberedValue(setting(key.stored())); };
    RunSettings s;
    DownloadOptions& o = s.options;
    // The lists' designed first entries.
    o.processType = QStringLiteral("Please select a destination...");
    o.pdfFontSize = ScreenLists::kPdfFontSize;
    o.pdfVertSize = ScreenLists::kPdfVertSize;
    o.pdfPaperSize = ScreenLists::pdfPaperSizes().first();
    o.htmlFontSize = ScreenLists::kHtmlFontSize;

    take(o.removeBlankLines, r(Setting::RemoveBlanks).ticked());
    take(o.convertMinusSign, r(Setting::MinusSign).ticked());
    take(o.runMacro, r(Setting::RunMacro).ticked());
    take(o.attachMultiples, r(Setting::AttachMultiples).ticked());
    take(o.autoSend, r(Setting::AutoSend).ticked());
    if (const auto b = r(Setting::AddReplace).boolean())
        o.textFile = *b ? DownloadOptions::AddReplace::Replace : DownloadOptions::AddReplace::Add;
    if (r(Setting::TextOrPdf).set()) o.emailAsPdf = r(Setting::TextOrPdf).text() == QLatin1String("False");
    for (int i = 0; i < 3; ++i)
        if (r(Setting::Parse[i]).isTrue()) o.parse = i;
    take(o.autoformat, r(Setting::AutoFormat).ticked());
    take(o.runSilent, r(Setting::RunSilent).ticked());

    const RememberedValue pageLength = r(Setting::PageLength);
    if (pageLength.notNone() && UsablePageLength(pageLength.text())) o.pageLength = pageLength.text();
    if (r(Setting::NotesTabs).notNone()) o.tabs = r(Setting::NotesTabs).trimmed();
    if (r(Setting::NotesTabs2).notNone()) o.tabs2 = r(Setting::NotesTabs2).trimmed();

    if (r(Setting::Translation).in(translationListEntries())) o.translation = r(Setting::Translation).trimmed();
    if (r(Setting::PdfFontSize).in(ScreenLists::pdfFontSizes())) o.pdfFontSize = r(Setting::PdfFontSize).trimmed();
    if (r(Setting::PdfVertSize).in(ScreenLists::pdfVertSizes())) o.pdfVertSize = r(Setting::PdfVertSize).trimmed();
    if (r(Setting::PdfPaperSize).in(ScreenLists::pdfPaperSizes())) o.pdfPaperSize = r(Setting::PdfPaperSize).trimmed();
    if (const auto b = r(Setting::PdfPageOrientation).boolean()) o.pdfLandscape = !*b;
    if (const auto b = r(Setting::HtmlAddReplace).boolean()) o.htmlAddToFile = !*b;

    if (r(Setting::PrintControl).set() && r(Setting::PrintControl).text() == QLatin1String("1")) o.printControl = true;
    if (r(Setting::PrintControlFormat).set()) o.fcfc = r(Setting::PrintControlFormat).text() != QLatin1String("True");
    take(o.suppressOverprinting, r(Setting::SuppressOverprinting).ticked());
    if (const auto b = r(Setting::AutoEmail).boolean()) o.autoformat = *b;
    if (r(Setting::HtmlFont).in(ScreenLists::htmlFontSizes())) o.htmlFontSize = r(Setting::HtmlFont).trimmed();

    const RememberedValue defaults = r(Setting::Defaults);
    if (defaults.notNone() && readAsBoolean(defaults.text()).value_or(false)) {
        // The remembered destination comes back when this PC offers it.
        if (r(Setting::Process).set() && offered(r(Setting::Process).trimmed())) o.processType = r(Setting::Process).trimmed();
        if (r(Setting::From).set()) o.fromPage = r(Setting::From).trimmed();
        if (r(Setting::To).set()) o.toPage = r(Setting::To).trimmed();
    }
    o.email = r(Setting::Email).set() && r(Setting::Email).isTrue() ? 0 : 1;
    ReadDialogOptions(o, setting);
    return s;
}
