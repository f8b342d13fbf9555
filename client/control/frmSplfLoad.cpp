#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "AppContext.h"
#include "ProcessTypes.h"
#include "RememberedSettings.h"
#include "Startup.h"
#include "SettingValues.h"
#include "TargetDiscovery.h"
#include "TranslationTables.h"
#include "frmMain.h"
#include "frmSplf.h"

// The screen's load and unload: the lists, the options remembered between
// runs (section "Settings"), and the destinations found on this PC.

namespace {
// A remembered value of the screen's: one of its list's texts.
bool listed(const RememberedValue& v, const QComboBox* c) {
    return v.set() && c->findText(v.trimmed(), Qt::MatchExactly) >= 0;
}

void applyState(QCheckBox* c, const std::optional<Qt::CheckState>& s) {
    if (!s) return;
    if (*s == Qt::PartiallyChecked) c->setTristate(true);
    c->setCheckState(*s);
}

void choose(QRadioButton* on) { on->setChecked(true); }

void fill(QComboBox* c, const QStringList& items, const QString& text) {
    c->clear();
    c->addItems(items);
    c->setEditText(text);
}

int stateValue(const QCheckBox* c) {
    return c->checkState() == Qt::Checked ? 1 : c->checkState() == Qt::PartiallyChecked ? 2 : 0;
}
}  // namespace

void frmSplf::fillDesignedLists() {
    fill(cboPageLength, {QStringLiteral("66"), QStringLiteral("88"), QStringLiteral("Variable")}, QStringLiteral("66"));
    fill(cboProcessType, ProcessTypes::alwaysOffered(), ProcessTypes::kPrompt);
    fill(cboTranslation, translationListEntries(), QStringLiteral("<Default>"));
    // The entries are longer than the box; the open list shows them whole.
    cboTranslation->view()->setMinimumWidth(cboTranslation->view()->sizeHintForColumn(0) + 24);
    fill(cboFontSize, ScreenLists::pdfFontSizes(), ScreenLists::kPdfFontSize);
    fill(cboVertSize, ScreenLists::pdfVertSizes(), ScreenLists::kPdfVertSize);
    fill(cboPaperSize, ScreenLists::pdfPaperSizes(), ScreenLists::pdfPaperSizes().first());
    fill(cboFontSizeHTML, ScreenLists::htmlFontSizes(), ScreenLists::kHtmlFontSize);
}

void frmSplf::Form_Load() {
    AppContext& c = ctx_;
    auto r = [&c](const SettingKey& key) { return RememberedValue(c.services.getSetting(key)); };
    fillDesignedLists();

    applyState(chkBlankLines, r(Setting::RemoveBlanks).checkState());
    applyState(chkORMinusSign, r(Setting::MinusSign).checkState());
    if (r(Setting::RunMacro).set()) applyState(chkMacro, r(Setting::RunMacro).checkState());
    if (r(Setting::AttachMultiples).set()) {
        applyState(chkAttachMultiples, r(Setting::AttachMultiples).checkState());
        if (r(Setting::AttachMultiples).text() == QLatin1String("1")) {
            chkAutoSend->setEnabled(false);
            cmdAutoOptions->setEnabled(false);
        }
    }
    if (r(Setting::AutoSend).set()) applyState(chkAutoSend, r(Setting::AutoSend).checkState());
    if (const auto b = r(Setting::AddReplace).boolean()) choose(optAddReplace[*b ? 2 : 3]);
    if (r(Setting::TextOrPdf).set()) choose(optTextOrPDF[r(Setting::TextOrPdf).text() == QLatin1String("False") ? 1 : 0]);
    for (size_t i = 0; i < optParse.size(); ++i)
        if (r(Setting::Parse[i]).isTrue()) choose(optParse[i]);
    applyState(chkAutoformat, r(Setting::AutoFormat).checkState());
    applyState(chkRunSilent, r(Setting::RunSilent).checkState());

    // The remembered page length first, then the designed entries it is not.
    const RememberedValue pageLength = r(Setting::PageLength);
    const QString length = pageLength.notNone() && UsablePageLength(pageLength.text()) ? pageLength.text()
                                                                                       : QStringLiteral("66");
    cboPageLength->clear();
    const bool remembered = pageLength.notNone();
    if (remembered) cboPageLength->addItem(length);
    for (const char* item : {"66", "88", "Variable"})
        if (!remembered || length != QLatin1String(item)) cboPageLength->addItem(QString::fromLatin1(item));
    cboPageLength->setEditText(length);

    if (r(Setting::NotesTabs).notNone()) txtTabs->setText(r(Setting::NotesTabs).trimmed());
    if (r(Setting::NotesTabs2).notNone()) txtTabs2->setText(r(Setting::NotesTabs2).trimmed());

    const QStringList targets = DiscoverDeliveryTargets(c);
    cboProcessType->clear();
    cboProcessType->addItems(targets);
    cboProcessType->setEditText(ProcessTypes::kPrompt);

    if (listed(r(Setting::Translation), cboTranslation)) cboTranslation->setEditText(r(Setting::Translation).trimmed());
    if (listed(r(Setting::PdfFontSize), cboFontSize)) cboFontSize->setEditText(r(Setting::PdfFontSize).trimmed());
    if (listed(r(Setting::PdfVertSize), cboVertSize)) cboVertSize->setEditText(r(Setting::PdfVertSize).trimmed());
    if (listed(r(Setting::PdfPaperSize), cboPaperSize)) cboPaperSize->setEditText(r(Setting::PdfPaperSize).trimmed());
    cboPaperSize_Click();
    if (const auto b = r(Setting::PdfPageOrientation).boolean()) choose(optPageOrientation[*b ? 0 : 1]);
    if (const auto b = r(Setting::HtmlAddReplace).boolean()) choose(optAddReplace[*b ? 0 : 1]);

    if (r(Setting::PrintControl).set() && r(Setting::PrintControl).text() == QLatin1String("1")) chkPrtCtl->setChecked(true);
    if (r(Setting::PrintControlFormat).set())
        choose(optPrtCtlFormat[r(Setting::PrintControlFormat).text() == QLatin1String("True") ? 0 : 1]);
    applyState(chkOverprinting, r(Setting::SuppressOverprinting).checkState());
    chkPrtCtl_Click();

    if (const auto b = r(Setting::AutoEmail).boolean()) chkAutoformat->setCheckState(*b ? Qt::Checked : Qt::Unchecked);
    if (listed(r(Setting::HtmlFont), cboFontSizeHTML)) {
        cboFontSizeHTML->setEditText(r(Setting::HtmlFont).trimmed());
    } else {
        cboFontSizeHTML->setEditText(QStringLiteral("9"));
        c.services.seedSetting(Setting::HtmlFont);
    }

    const RememberedValue defaults = r(Setting::Defaults);
    if (defaults.notNone() && readAsBoolean(defaults.text()).value_or(false)) {
        // The remembered destination comes back when this PC offers it.
        if (listed(r(Setting::Process), cboProcessType)) cboProcessType->setEditText(r(Setting::Process).trimmed());
        cboProcessType_Click();
        if (r(Setting::From).set()) txtFrom->setText(r(Setting::From).trimmed());
        if (r(Setting::To).set()) txtTo->setText(r(Setting::To).trimmed());
    }
    choose(optEmail[r(Setting::Email).set() && r(Setting::Email).isTrue() ? 0 : 1]);

    sbSplfPanel2->setText(c.connection.gHostAddress);
    cboProcessType_Click();
    chkAutoSend_Click();
    // 9825 x 7500 twips, centred.
    const QSize size(9825 / 15, 7500 / 15);
    resize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect g = screen->geometry();
        move((g.width() - size.width()) / 2, (g.height() - size.height()) / 2);
    }
}

void frmSplf::Form_Unload() {
    // A batch run leaves the user's remembered options as they were.
    if (ctx_.mode.gBatchMode || !ctx_.mainWindowLoaded() || !ctx_.mainWindow().itmSaveSettings->isChecked()) return;
    const std::pair<SettingKey, QString> values[] = {
        {Setting::Process, cboProcessType->currentText().trimmed()},
        {Setting::Translation, cboTranslation->currentText().trimmed()},
        {Setting::From, txtFrom->text().trimmed()},
        {Setting::To, txtTo->text().trimmed()},
        {Setting::Parse[0], BoolText(optParse[0]->isChecked())},
        {Setting::Parse[1], BoolText(optParse[1]->isChecked())},
        {Setting::Parse[2], BoolText(optParse[2]->isChecked())},
        {Setting::RunMacro, QString::number(stateValue(chkMacro))},
        {Setting::AttachMultiples, QString::number(stateValue(chkAttachMultiples))},
        {Setting::AutoSend, QString::number(stateValue(chkAutoSend))},
        {Setting::AutoFormat, QString::number(stateValue(chkAutoformat))},
        {Setting::RunSilent, QString::number(stateValue(chkRunSilent))},
        {Setting::NotesTabs, txtTabs->text().trimmed()},
        {Setting::NotesTabs2, txtTabs2->text().trimmed()},
        {Setting::Email, BoolText(optEmail[0]->isChecked())},
        {Setting::SuppressOverprinting, QString::number(stateValue(chkOverprinting))},
        {Setting::RemoveBlanks, QString::number(stateValue(chkBlankLines))},
        {Setting::MinusSign, QString::number(stateValue(chkORMinusSign))},
        {Setting::TextOrPdf, BoolText(optTextOrPDF[0]->isChecked())},
        {Setting::PrintControl, QString::number(stateValue(chkPrtCtl))},
        {Setting::PrintControlFormat, BoolText(optPrtCtlFormat[0]->isChecked())},
        {Setting::AddReplace, BoolText(optAddReplace[2]->isChecked())},
        {Setting::PageLength, cboPageLength->currentText()},
        {Setting::AutoEmail, QString::number(stateValue(chkAutoformat))},
        {Setting::RunMacroToo, QString::number(stateValue(chkMacro))},
        {Setting::PdfFontSize, cboFontSize->currentText().trimmed()},
        {Setting::PdfVertSize, cboVertSize->currentText().trimmed()},
        {Setting::PdfPaperSize, cboPaperSize->currentText().trimmed()},
        {Setting::PdfPageOrientation, BoolText(optPageOrientation[0]->isChecked())},
    };
    for (const auto& [key, value] : values) ctx_.services.saveSetting(key, value);
}
