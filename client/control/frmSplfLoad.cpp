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
    auto r = [&c](const char* key) { return RememberedValue(c.getSetting(QString::fromLatin1(key))); };
    fillDesignedLists();

    applyState(chkBlankLines, r("RemoveBlanks").checkState());
    applyState(chkORMinusSign, r("MinusSign").checkState());
    if (r("RunMacro").set()) applyState(chkMacro, r("RunMacro").checkState());
    if (r("AttachMultiples").set()) {
        applyState(chkAttachMultiples, r("AttachMultiples").checkState());
        if (r("AttachMultiples").text() == QLatin1String("1")) {
            chkAutoSend->setEnabled(false);
            cmdAutoOptions->setEnabled(false);
        }
    }
    if (r("AutoSend").set()) applyState(chkAutoSend, r("AutoSend").checkState());
    if (const auto b = r("Add replace").boolean()) choose(optAddReplace[*b ? 2 : 3]);
    if (r("Text or PDF").set()) choose(optTextOrPDF[r("Text or PDF").text() == QLatin1String("False") ? 1 : 0]);
    for (size_t i = 0; i < optParse.size(); ++i)
        if (r(("Parse" + std::to_string(i)).c_str()).isTrue()) choose(optParse[i]);
    applyState(chkAutoformat, r("Auto format").checkState());
    applyState(chkRunSilent, r("Run silent").checkState());

    // The remembered page length first, then the designed entries it is not.
    const RememberedValue pageLength = r("Page length");
    const QString length = pageLength.notNone() && UsablePageLength(pageLength.text()) ? pageLength.text()
                                                                                       : QStringLiteral("66");
    cboPageLength->clear();
    const bool remembered = pageLength.notNone();
    if (remembered) cboPageLength->addItem(length);
    for (const char* item : {"66", "88", "Variable"})
        if (!remembered || length != QLatin1String(item)) cboPageLength->addItem(QString::fromLatin1(item));
    cboPageLength->setEditText(length);

    if (r("Notes tabs").notNone()) txtTabs->setText(r("Notes tabs").trimmed());
    if (r("Notes tabs 2").notNone()) txtTabs2->setText(r("Notes tabs 2").trimmed());

    const QStringList targets = DiscoverDeliveryTargets(c);
    cboProcessType->clear();
    cboProcessType->addItems(targets);
    cboProcessType->setEditText(ProcessTypes::kPrompt);

    if (listed(r("Translation"), cboTranslation)) cboTranslation->setEditText(r("Translation").trimmed());
    if (listed(r("PDF Fontsize"), cboFontSize)) cboFontSize->setEditText(r("PDF Fontsize").trimmed());
    if (listed(r("PDF Vertsize"), cboVertSize)) cboVertSize->setEditText(r("PDF Vertsize").trimmed());
    if (listed(r("PDF Papersize"), cboPaperSize)) cboPaperSize->setEditText(r("PDF Papersize").trimmed());
    cboPaperSize_Click();
    if (const auto b = r("PDF Page orientation").boolean()) choose(optPageOrientation[*b ? 0 : 1]);
    if (const auto b = r("Html add replace").boolean()) choose(optAddReplace[*b ? 0 : 1]);

    if (r("PRTCTL").set() && r("PRTCTL").text() == QLatin1String("1")) chkPrtCtl->setChecked(true);
    if (r("PRTCTL format").set())
        choose(optPrtCtlFormat[r("PRTCTL format").text() == QLatin1String("True") ? 0 : 1]);
    applyState(chkOverprinting, r("SuppressOverprinting").checkState());
    chkPrtCtl_Click();

    if (const auto b = r("Auto email").boolean()) chkAutoformat->setCheckState(*b ? Qt::Checked : Qt::Unchecked);
    if (listed(r("Html font"), cboFontSizeHTML)) {
        cboFontSizeHTML->setEditText(r("Html font").trimmed());
    } else {
        cboFontSizeHTML->setEditText(QStringLiteral("9"));
        c.seedSetting(Setting::HtmlFont);
    }

    const RememberedValue defaults = r("Defaults");
    if (defaults.notNone() && readAsBoolean(defaults.text()).value_or(false)) {
        // The remembered destination comes back when this PC offers it.
        if (listed(r("Process"), cboProcessType)) cboProcessType->setEditText(r("Process").trimmed());
        cboProcessType_Click();
        if (r("From").set()) txtFrom->setText(r("From").trimmed());
        if (r("To").set()) txtTo->setText(r("To").trimmed());
    }
    choose(optEmail[r("Email").set() && r("Email").isTrue() ? 0 : 1]);

    sbSplfPanel2->setText(c.gHostAddress);
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
    if (ctx_.gBatchMode || !ctx_.mainWindowLoaded() || !ctx_.mainWindow().itmSaveSettings->isChecked()) return;
    const std::pair<const char*, QString> values[] = {
        {"Process", cboProcessType->currentText().trimmed()},
        {"Translation", cboTranslation->currentText().trimmed()},
        {"From", txtFrom->text().trimmed()},
        {"To", txtTo->text().trimmed()},
        {"Parse0", BoolText(optParse[0]->isChecked())},
        {"Parse1", BoolText(optParse[1]->isChecked())},
        {"Parse2", BoolText(optParse[2]->isChecked())},
        {"RunMacro", QString::number(stateValue(chkMacro))},
        {"AttachMultiples", QString::number(stateValue(chkAttachMultiples))},
        {"AutoSend", QString::number(stateValue(chkAutoSend))},
        {"Auto format", QString::number(stateValue(chkAutoformat))},
        {"Run silent", QString::number(stateValue(chkRunSilent))},
        {"Notes tabs", txtTabs->text().trimmed()},
        {"Notes tabs 2", txtTabs2->text().trimmed()},
        {"Email", BoolText(optEmail[0]->isChecked())},
        {"SuppressOverprinting", QString::number(stateValue(chkOverprinting))},
        {"RemoveBlanks", QString::number(stateValue(chkBlankLines))},
        {"MinusSign", QString::number(stateValue(chkORMinusSign))},
        {"Text or PDF", BoolText(optTextOrPDF[0]->isChecked())},
        {"PRTCTL", QString::number(stateValue(chkPrtCtl))},
        {"PRTCTL format", BoolText(optPrtCtlFormat[0]->isChecked())},
        {"Add replace", BoolText(optAddReplace[2]->isChecked())},
        {"Page length", cboPageLength->currentText()},
        {"Auto email", QString::number(stateValue(chkAutoformat))},
        {"Run macro", QString::number(stateValue(chkMacro))},
        {"PDF Fontsize", cboFontSize->currentText().trimmed()},
        {"PDF Vertsize", cboVertSize->currentText().trimmed()},
        {"PDF Papersize", cboPaperSize->currentText().trimmed()},
        {"PDF Page orientation", BoolText(optPageOrientation[0]->isChecked())},
    };
    for (const auto& [key, value] : values) ctx_.saveSetting(QString::fromLatin1(key), value);
}
