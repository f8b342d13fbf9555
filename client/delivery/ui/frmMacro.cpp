#include "frmMacro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "AppContext.h"
#include "DeliveryState.h"
#include "OfficeDelivery.h"
#include "OfficeWindows.h"
#include "SettingValues.h"

namespace {
const MacroDialog::Texts kExcel{"frmExcel",      "Load and Run Excel Macro...",     "Macro spreadsheet name:",
                                "txtMacroSheet", MacroProgram::Excel, "Load an Excel macro workbook...", "*.xl*"};
const MacroDialog::Texts kWord{"frmWord",      "Load a Word macro...", "Macro document name:",
                               "txtMacroFile", MacroProgram::Word,     "Word macro template file...",
                               "*.dot"};
}  // namespace

MacroDialog::MacroDialog(AppContext& ctx, const Texts& texts, bool& loadedFlag) : ctx_(ctx), t_(texts) {
    loadedFlag = true;
    setObjectName(QString::fromLatin1(t_.objectName));
    setWindowTitle(QString::fromLatin1(t_.caption));
    setModal(true);
    auto* grid = new QGridLayout(this);
    Label1 = new QLabel(QString::fromLatin1(t_.fileLabel), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("Macro name:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    txtMacroFileBox = new QLineEdit(this);
    txtMacroFileBox->setObjectName(QString::fromLatin1(t_.fileControl));
    txtMacroFileBox->setMinimumWidth(360);
    txtMacroName = new QLineEdit(QStringLiteral("Macro1"), this);
    txtMacroName->setObjectName(QStringLiteral("txtMacroName"));
    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdBrowse = button("cmdBrowse", QStringLiteral("..."));
    cmdOK = button("cmdOK", QStringLiteral("Open"));
    cmdOK->setDefault(true);
    cmdCancel = button("cmdCancel", QStringLiteral("Cancel"));
    Label1->setBuddy(txtMacroFileBox);
    Label2->setBuddy(txtMacroName);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(txtMacroFileBox, 0, 1, 1, 2);
    grid->addWidget(cmdBrowse, 0, 3);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(txtMacroName, 1, 1, 1, 2);
    grid->addWidget(cmdOK, 2, 1);
    grid->addWidget(cmdCancel, 2, 2);
    connect(cmdOK, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([this] { cmdOK_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([this] { cmdCancel_Click(); }); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([this] { cmdBrowse_Click(); }); });
}

void MacroDialog::Form_Load(bool fromSettingsFile) {
    if (!fromSettingsFile) {
        const QString file = ctx_.services.getSetting(MacroFileSetting(t_.program));
        const QString name = ctx_.services.getSetting(MacroNameSetting(t_.program));
        if (HasValue(file)) txtMacroFileBox->setText(file);
        if (HasValue(name)) txtMacroName->setText(name);
    }
    adjustSize();
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect r = s->geometry();
        move(r.left() + (r.width() - width()) / 2, r.top() + (r.height() - height()) / 2);
    }
}

void MacroDialog::Form_Activate() {
    if (txtMacroFileBox->text().trimmed().isEmpty()) txtMacroFileBox->setText(defaultFolder());
}

void MacroDialog::cmdBrowse_Click() {
    if (!ctx_.services.presenter) return;
    const QString chosen = ctx_.services.presenter->openFileName(this, QString::fromLatin1(t_.dialogTitle), txtMacroFileBox->text(),
                                                        QString::fromLatin1(t_.pattern));
    const QString c = chosen.trimmed();
    if (!c.isEmpty() && c != QLatin1String(t_.pattern)) txtMacroFileBox->setText(chosen);
}

void MacroDialog::cmdOK_Click() {
    if (MacroFileReadable(ctx_.services, t_.program, txtMacroFileBox->text())) hide();
}

void MacroDialog::cmdCancel_Click() {
    txtMacroFileBox->clear();
    hide();
}

void MacroDialog::showModal() {
    Form_Activate();
    if (ctx_.services.presenter) ctx_.services.presenter->showModal(this);
    else exec();
}

void MacroDialog::showAndAccept() {
    Form_Activate();
    if (ctx_.services.presenter) ctx_.services.presenter->showModeless(this);
    cmdOK_Click();
}

frmExcel::frmExcel(AppContext& ctx) : MacroDialog(ctx, kExcel, DeliveryOf(ctx).gExcelMacroFormLoaded) {}
frmWord::frmWord(AppContext& ctx) : MacroDialog(ctx, kWord, DeliveryOf(ctx).gWordMacroFormLoaded) {}

frmExcel& ExcelMacroWindow(AppContext& ctx) {
    OfficeWindows& w = OfficeWindowsOf(ctx);
    if (!w.excel) {
        w.excel = std::make_unique<frmExcel>(ctx);
        w.excel->Form_Load(ctx.download.gSettingsFromFile);
    }
    return *w.excel;
}

frmWord& WordMacroWindow(AppContext& ctx) {
    OfficeWindows& w = OfficeWindowsOf(ctx);
    if (!w.word) {
        w.word = std::make_unique<frmWord>(ctx);
        // A settings file's values are put in after the load: the remembered ones come first.
        w.word->Form_Load(false);
    }
    return *w.word;
}
