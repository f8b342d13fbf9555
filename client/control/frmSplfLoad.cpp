#include <QAbstractItemView>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "AppContext.h"
#include "ProcessTypes.h"
#include "TranslationTables.h"
#include "frmSplf.h"

// The screen's load and unload. The remembered options (restored here and
// written back by the unload) and the probing for the office and mail
// programs extend these steps; what stands here is the screen that nothing
// has been remembered for.

void frmSplf::fillDesignedLists() {
    const auto fill = [](QComboBox* c, const QStringList& items, const QString& text) {
        c->clear();
        c->addItems(items);
        c->setEditText(text);
    };
    fill(cboPageLength, {QStringLiteral("66"), QStringLiteral("88"), QStringLiteral("Variable")}, QStringLiteral("66"));
    fill(cboProcessType, ProcessTypes::alwaysOffered(), ProcessTypes::kPrompt);
    fill(cboTranslation, translationListEntries(), QStringLiteral("<Default>"));
    // The entries are longer than the box; the open list shows them whole.
    cboTranslation->view()->setMinimumWidth(cboTranslation->view()->sizeHintForColumn(0) + 24);
    fill(cboFontSize,
         {QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10"),
          QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("14"), QStringLiteral("18"), QStringLiteral("22")},
         QStringLiteral("12"));
    fill(cboVertSize,
         {QStringLiteral("Auto"), QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10"),
          QStringLiteral("11"), QStringLiteral("12")},
         QStringLiteral("12"));
    fill(cboPaperSize,
         {QStringLiteral("Best fit"), QStringLiteral("Letter"), QStringLiteral("Standard A4"),
          QStringLiteral("Narrow A5"), QStringLiteral("Wide"), QStringLiteral("Tabloid"), QStringLiteral("Legal"),
          QStringLiteral("Ledger"), QStringLiteral("Executive"), QStringLiteral("Statement")},
         QStringLiteral("Best fit"));
    fill(cboFontSizeHTML,
         {QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
          QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("13"),
          QStringLiteral("15"), QStringLiteral("18"), QStringLiteral("22"), QStringLiteral("26")},
         QStringLiteral("9"));
}

void frmSplf::Form_Load() {
    fillDesignedLists();
    cboPaperSize_Click();
    chkPrtCtl_Click();
    sbSplfPanel2->setText(ctx_.gHostAddress);
    cboProcessType_Click();
    chkAutoSend_Click();
    // 9825 x 7500 twips, centred.
    const QSize size(9825 / 15, 7500 / 15);
    resize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->geometry();
        move((r.width() - size.width()) / 2, (r.height() - size.height()) / 2);
    }
}

void frmSplf::Form_Unload() {}
