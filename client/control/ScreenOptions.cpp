#include "ScreenOptions.h"

#include "SplfScreenApi.h"

namespace {
// The controls that hold text, and the record's field for each.
struct TextControl {
    ScreenText control;
    QString DownloadOptions::*field;
};
const TextControl kTexts[] = {
    {ScreenText::ProcessType, &DownloadOptions::processType}, {ScreenText::Translation, &DownloadOptions::translation},
    {ScreenText::FromPage, &DownloadOptions::fromPage},       {ScreenText::ToPage, &DownloadOptions::toPage},
    {ScreenText::PageLength, &DownloadOptions::pageLength},   {ScreenText::HtmlFontSize, &DownloadOptions::htmlFontSize},
    {ScreenText::PdfFontSize, &DownloadOptions::pdfFontSize}, {ScreenText::PdfPaperSize, &DownloadOptions::pdfPaperSize},
    {ScreenText::PdfVertSize, &DownloadOptions::pdfVertSize}, {ScreenText::Tabs, &DownloadOptions::tabs},
    {ScreenText::Tabs2, &DownloadOptions::tabs2},             {ScreenText::Link, &DownloadOptions::link},
};

// Check boxes read as one Boolean.
struct CheckControl {
    ScreenCheck control;
    bool DownloadOptions::*field;
};
const CheckControl kChecks[] = {
    {ScreenCheck::RemoveBlankLines, &DownloadOptions::removeBlankLines},
    {ScreenCheck::SuppressOverprinting, &DownloadOptions::suppressOverprinting},
    {ScreenCheck::ConvertMinusSign, &DownloadOptions::convertMinusSign},
    {ScreenCheck::PrintControl, &DownloadOptions::printControl},
    {ScreenCheck::AutoSend, &DownloadOptions::autoSend},
    {ScreenCheck::AttachMultiples, &DownloadOptions::attachMultiples},
    {ScreenCheck::RunMacro, &DownloadOptions::runMacro},
    {ScreenCheck::RunSilent, &DownloadOptions::runSilent},
    {ScreenCheck::Autoformat, &DownloadOptions::autoformat},
};

// Two-button option groups read as "the second button is chosen".
struct ChoiceControl {
    ScreenChoice group;
    bool DownloadOptions::*field;
};
const ChoiceControl kSecondChosen[] = {
    {ScreenChoice::PrintControlFormat, &DownloadOptions::fcfc},
    {ScreenChoice::PageOrientation, &DownloadOptions::pdfLandscape},
    {ScreenChoice::TextOrPdf, &DownloadOptions::emailAsPdf},
};
}  // namespace

DownloadOptions ReadScreenOptions(const SplfScreenApi& s, bool minusSignApplicable) {
    DownloadOptions o;
    for (const TextControl& c : kTexts) o.*c.field = s.text(c.control);
    for (const CheckControl& c : kChecks) o.*c.field = s.check(c.control) == 1;
    o.htmlAddToFile = s.isChosen(ScreenChoice::HtmlAddReplace, 1);
    for (const ChoiceControl& c : kSecondChosen) o.*c.field = s.chosen(c.group) == 1;
    o.minusSignApplicable = minusSignApplicable;
    o.textFile = s.isChosen(ScreenChoice::TextAddReplace, 0)   ? DownloadOptions::AddReplace::Replace
                 : s.isChosen(ScreenChoice::TextAddReplace, 1) ? DownloadOptions::AddReplace::Add
                                                               : DownloadOptions::AddReplace::None;
    o.email = s.chosen(ScreenChoice::Email);
    o.parse = qMax(0, s.chosen(ScreenChoice::Parse));
    return o;
}

void WriteScreenOptions(SplfScreenApi& s, const DownloadOptions& o) {
    for (const TextControl& c : kTexts) s.setText(c.control, o.*c.field);
    for (const CheckControl& c : kChecks) s.setCheck(c.control, o.*c.field ? 1 : 0);
    s.setChosen(ScreenChoice::HtmlAddReplace, 1, o.htmlAddToFile);
    s.setChosen(ScreenChoice::HtmlAddReplace, 0, !o.htmlAddToFile);
    for (const ChoiceControl& c : kSecondChosen) s.setChosen(c.group, o.*c.field ? 1 : 0, true);
    if (o.textFile == DownloadOptions::AddReplace::Replace) s.setChosen(ScreenChoice::TextAddReplace, 0, true);
    if (o.textFile == DownloadOptions::AddReplace::Add) s.setChosen(ScreenChoice::TextAddReplace, 1, true);
    if (o.email >= 0) s.setChosen(ScreenChoice::Email, o.email, true);
    s.setChosen(ScreenChoice::Parse, o.parse, true);
}

void ScreenProgress::status(const QString& text) { screen_.setStatus(text); }
void ScreenProgress::refresh() { screen_.Refresh(); }
void ScreenProgress::giveFocus() { screen_.giveFocus(); }
