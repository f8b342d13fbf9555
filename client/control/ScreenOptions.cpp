#include "ScreenOptions.h"

#include "SplfScreenApi.h"

namespace {
// The controls that hold text, and the record's field for each.
struct TextControl {
    const char* name;
    QString DownloadOptions::*field;
};
const TextControl kTexts[] = {
    {"cboProcessType", &DownloadOptions::processType}, {"cboTranslation", &DownloadOptions::translation},
    {"txtFrom", &DownloadOptions::fromPage},           {"txtTo", &DownloadOptions::toPage},
    {"cboPageLength", &DownloadOptions::pageLength},   {"cboFontSizeHTML", &DownloadOptions::htmlFontSize},
    {"cboFontSize", &DownloadOptions::pdfFontSize},    {"cboPaperSize", &DownloadOptions::pdfPaperSize},
    {"cboVertSize", &DownloadOptions::pdfVertSize},    {"txtTabs", &DownloadOptions::tabs},
    {"txtTabs2", &DownloadOptions::tabs2},             {"txtLink", &DownloadOptions::link},
};

// Check boxes, and option buttons read as one Boolean.
struct FlagControl {
    const char* name;
    bool DownloadOptions::*field;
};
const FlagControl kFlags[] = {
    {"chkBlankLines", &DownloadOptions::removeBlankLines},
    {"chkOverprinting", &DownloadOptions::suppressOverprinting},
    {"chkORMinusSign", &DownloadOptions::convertMinusSign},
    {"chkPrtCtl", &DownloadOptions::printControl},
    {"optAddReplace_1", &DownloadOptions::htmlAddToFile},
    {"chkAutoSend", &DownloadOptions::autoSend},
    {"chkAttachMultiples", &DownloadOptions::attachMultiples},
    {"chkMacro", &DownloadOptions::runMacro},
    {"chkRunSilent", &DownloadOptions::runSilent},
    {"chkAutoformat", &DownloadOptions::autoformat},
};

// Two-button option groups read as "the second button is chosen".
const FlagControl kSecondChosen[] = {
    {"optPrtCtlFormat", &DownloadOptions::fcfc},
    {"optPageOrientation", &DownloadOptions::pdfLandscape},
    {"optTextOrPDF", &DownloadOptions::emailAsPdf},
};
}  // namespace

DownloadOptions ReadScreenOptions(const SplfScreenApi& s, bool minusSignApplicable) {
    DownloadOptions o;
    for (const TextControl& c : kTexts) o.*c.field = s.text(QString::fromLatin1(c.name));
    for (const FlagControl& c : kFlags) o.*c.field = s.value(QString::fromLatin1(c.name)) == 1;
    for (const FlagControl& c : kSecondChosen) o.*c.field = s.value(QString::fromLatin1(c.name)) == 1;
    o.minusSignApplicable = minusSignApplicable;
    o.textFile = s.value(QStringLiteral("optAddReplace_2")) == 1   ? DownloadOptions::AddReplace::Replace
                 : s.value(QStringLiteral("optAddReplace_3")) == 1 ? DownloadOptions::AddReplace::Add
                                                                  : DownloadOptions::AddReplace::None;
    o.email = s.value(QStringLiteral("optEmail"));
    o.parse = qMax(0, s.value(QStringLiteral("optParse")));
    return o;
}

void WriteScreenOptions(SplfScreenApi& s, const DownloadOptions& o) {
    for (const TextControl& c : kTexts) s.setText(QString::fromLatin1(c.name), o.*c.field);
    for (const FlagControl& c : kFlags) s.setValue(QString::fromLatin1(c.name), o.*c.field ? 1 : 0);
    s.setValue(QStringLiteral("optAddReplace_0"), o.htmlAddToFile ? 0 : 1);
    for (const FlagControl& c : kSecondChosen) s.setValue(QString::fromLatin1(c.name), o.*c.field ? 1 : 0);
    if (o.textFile == DownloadOptions::AddReplace::Replace) s.setValue(QStringLiteral("optAddReplace_2"), 1);
    if (o.textFile == DownloadOptions::AddReplace::Add) s.setValue(QStringLiteral("optAddReplace_3"), 1);
    if (o.email >= 0) s.setValue(QStringLiteral("optEmail"), o.email);
    s.setValue(QStringLiteral("optParse"), o.parse);
}

void ScreenProgress::status(const QString& text) { screen_.setStatus(text); }
void ScreenProgress::refresh() { screen_.Refresh(); }
void ScreenProgress::giveFocus() { screen_.giveFocus(); }
