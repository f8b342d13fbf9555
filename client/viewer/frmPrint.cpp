#include "frmPrint.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "AppContext.h"
#include "PrintReport.h"
#include "SettingValues.h"
#include "Viewers.h"
#include "WindowGeometry.h"

frmPrint::frmPrint(AppContext& ctx) : ctx_(ctx) {
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("Printer format options"));
    setModal(true);
    auto* top = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Select fonts and orientations:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    top->addWidget(Label1);
    const char* const frames[] = {"80 column reports", "132 column reports", "198 column reports"};
    const char* const labels[] = {"Label2", "Label3", "Label4"};
    const char* const captions[] = {"Portrait", "Landscape", "Landscape", "Portrait", "Landscape", "Portrait"};
    auto* row = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        Frame1[i] = new QGroupBox(QString::fromLatin1(frames[i]), this);
        Frame1[i]->setObjectName(QStringLiteral("Frame1_%1").arg(i));
        auto* g = new QGridLayout(Frame1[i]);
        auto* label = new QLabel(QStringLiteral("Font:"), Frame1[i]);
        label->setObjectName(QString::fromLatin1(labels[i]));
        cboFontSize[i] = new QComboBox(Frame1[i]);
        cboFontSize[i]->setObjectName(QStringLiteral("cboFontSize_%1").arg(i));
        cboFontSize[i]->setEditable(true);
        cboFontSize[i]->setInsertPolicy(QComboBox::NoInsert);
        g->addWidget(label, 0, 0);
        g->addWidget(cboFontSize[i], 0, 1);
        for (int k = 0; k < 2; ++k) {
            const int n = 2 * i + k;
            optPortraitOrLandscape[n] = new QRadioButton(QString::fromLatin1(captions[n]), Frame1[i]);
            optPortraitOrLandscape[n]->setObjectName(QStringLiteral("optPortraitOrLandscape_%1").arg(n));
            g->addWidget(optPortraitOrLandscape[n], 1 + k, 0, 1, 2);
        }
        row->addWidget(Frame1[i]);
    }
    top->addLayout(row);
    auto* buttons = new QHBoxLayout;
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(CancelButton);
    top->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
}

void frmPrint::Form_Load() {
    adjustSize();
    WindowGeometry::centre(this);
    for (int i = 0; i < 3; ++i) {
        cboFontSize[i]->clear();
        cboFontSize[i]->addItems({QStringLiteral("Auto"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
                                  QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12")});
        // A stored size that cannot print counts as "Auto".
        const QString size = ctx_.services.getSetting(Setting::PrintFontSize[i]);
        cboFontSize[i]->setEditText(HasValue(size) && IsPrintFontSizeText(size) ? size.trimmed() : QStringLiteral("Auto"));
        // Without a usable stored value: 80 columns portrait, the wider ones landscape.
        const std::optional<bool> stored = TruthOf(ctx_.services.getSetting(Setting::PrintOrientation[i]));
        const bool first = stored.value_or(true);
        optPortraitOrLandscape[2 * i]->setChecked(first);
        optPortraitOrLandscape[2 * i + 1]->setChecked(!first);
    }
}

void frmPrint::cmdOK_Click() {
    for (int i = 0; i < 3; ++i) {
        if (IsPrintFontSizeText(cboFontSize[i]->currentText())) continue;
        ctx_.services.msgBox(QStringLiteral("The font size must be Auto or a number from 1 to 72."), MsgButtons::OK,
                    MsgIcon::Exclamation, QStringLiteral("Printer format options"));
        cboFontSize[i]->setFocus();
        cboFontSize[i]->lineEdit()->selectAll();
        return;
    }
    for (int i = 0; i < 3; ++i)
        ctx_.services.saveSetting(Setting::PrintFontSize[i], cboFontSize[i]->currentText().trimmed());
    for (int i = 0; i < 3; ++i)
        ctx_.services.saveTruth(Setting::PrintOrientation[i], optPortraitOrLandscape[2 * i]->isChecked());
    hide();
}

void frmPrint::CancelButton_Click() { hide(); }

namespace {
// The portrait button of a frame: (0) for 80 columns, (3) and (5) for the wider
// ones; the landscape button is the other of its pair.
int portraitButton(int frame) { return frame == 0 ? 0 : 2 * frame + 1; }
int landscapeButton(int frame) { return frame == 0 ? 1 : 2 * frame; }
}  // namespace

QString frmPrint::fontSize(int frame) const { return cboFontSize[frame]->currentText().trimmed(); }

void frmPrint::setFontSize(int frame, const QString& size) {
    if (IsPrintFontSizeText(size)) cboFontSize[frame]->setEditText(size.trimmed());
}

bool frmPrint::landscape(int frame) const { return !optPortraitOrLandscape[portraitButton(frame)]->isChecked(); }

void frmPrint::setLandscape(int frame, bool landscape) {
    optPortraitOrLandscape[portraitButton(frame)]->setChecked(!landscape);
    optPortraitOrLandscape[landscapeButton(frame)]->setChecked(landscape);
}

void ShowPrinterFormat(AppContext& ctx) {
    frmPrint& window = PrinterFormatWindow(ctx);
    if (ctx.services.presenter)
        ctx.services.presenter->showModal(&window);
    else
        window.exec();
    // Both buttons unload it: the next opening starts from the remembered values.
    Viewers(ctx).print.reset();
}
