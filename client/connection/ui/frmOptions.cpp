#include "frmOptions.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QShortcut>
#include <QTabBar>
#include <QVBoxLayout>

#include "AppContext.h"
#include "Connect.h"
#include "HostHistory.h"
#include "SettingValues.h"
#include "WindowGeometry.h"
#include "WindowServices.h"
#include "frmMain.h"

namespace {
constexpr int kMinWait = kMinWaitTime;
constexpr int kMaxWait = kMaxWaitTime;

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}
}  // namespace

frmOptions::frmOptions(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Connection Options"));
    setModal(true);
    buildControls();
    Form_Load();
}

frmOptions::~frmOptions() = default;

void frmOptions::buildControls() {
    auto* layout = new QVBoxLayout(this);
    tbsOptions = new QTabBar(this);
    tbsOptions->setObjectName(QStringLiteral("tbsOptions"));
    tbsOptions->addTab(QStringLiteral("iSeries IP Address"));
    tbsOptions->setTabData(0, QStringLiteral("tabIPAddress"));
    tbsOptions->setTabToolTip(0, QStringLiteral("iSeries IP address or host name"));
    tbsOptions->addTab(QStringLiteral("Connect Wait Time"));
    tbsOptions->setTabData(1, QStringLiteral("tablPTime"));
    tbsOptions->setTabToolTip(1, QStringLiteral("Amount of time to wait for a connection"));
    tbsOptions->setDrawBase(true);
    layout->addWidget(tbsOptions);

    // Both frames share one place; the tab strip shows one of them.
    auto* pages = new QWidget(this);
    auto* pageGrid = new QGridLayout(pages);
    pageGrid->setContentsMargins(0, 0, 0, 0);
    const char* frameCaptions[] = {"Please specify an iSeries IP address or host name:",
                                   "Please specify a connect wait time:"};
    for (size_t i = 0; i < fraIPAddress.size(); ++i) {
        fraIPAddress[i] = new QGroupBox(QString::fromLatin1(frameCaptions[i]), pages);
        fraIPAddress[i]->setObjectName(QStringLiteral("fraIPAddress_%1").arg(i));
        pageGrid->addWidget(fraIPAddress[i], 0, 0);
    }
    layout->addWidget(pages, 1);

    auto* f0 = new QVBoxLayout(fraIPAddress[0]);
    cboIPAddress = new QComboBox(fraIPAddress[0]);
    cboIPAddress->setObjectName(QStringLiteral("cboIPAddress"));
    cboIPAddress->setEditable(true);
    cboIPAddress->setInsertPolicy(QComboBox::NoInsert);
    Label1 = makeLabel(fraIPAddress[0], "Label1",
                       QStringLiteral("Enter the iSeries address as a standard dotted IP address, for example "
                                      "192.168.1.20, or as the host name, short or fully qualified, for example "
                                      "MYISERIES or myiseries.example.com."));
    Label1->setWordWrap(true);
    f0->addWidget(cboIPAddress);
    f0->addWidget(Label1);
    f0->addStretch();

    auto* f1 = new QGridLayout(fraIPAddress[1]);
    Label2 = makeLabel(fraIPAddress[1], "Label2",
                       QStringLiteral("Select the number of seconds to wait for the iSeries server job to respond.  If "
                                      "you experience connection problems, or your iSeries is heavily loaded, select a "
                                      "higher wait time value."));
    Label2->setWordWrap(true);
    sliWaitTime = new QSlider(Qt::Horizontal, fraIPAddress[1]);
    sliWaitTime->setObjectName(QStringLiteral("sliWaitTime"));
    sliWaitTime->setRange(kMinWait, kMaxWait);
    sliWaitTime->setSingleStep(1);
    sliWaitTime->setPageStep(5);
    sliWaitTime->setTickPosition(QSlider::TicksBelow);
    sliWaitTime->setTickInterval(1);
    lblWaitTime = makeLabel(fraIPAddress[1], "lblWaitTime", QString());
    lblWaitTime->setMinimumWidth(24);
    Label3 = makeLabel(fraIPAddress[1], "Label3", QStringLiteral("2    5      10     15      20      25     30"));
    // The scale text puts each number 1.5 columns per second from the left:
    // in a fixed-width font the slider's groove is sized to match it.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    Label3->setFont(fixed);
    const int column = QFontMetrics(fixed).horizontalAdvance(QLatin1Char('0'));
    const int handle = sliWaitTime->style()->pixelMetric(QStyle::PM_SliderLength, nullptr, sliWaitTime);
    sliWaitTime->setFixedWidth(column * 3 * (kMaxWait - kMinWait) / 2 + handle);
    Label3->setContentsMargins(qMax(0, handle / 2 - column / 2), 0, 0, 0);
    f1->addWidget(Label2, 0, 0, 1, 3);
    f1->addWidget(sliWaitTime, 1, 0);
    f1->addWidget(lblWaitTime, 1, 1);
    f1->addWidget(Label3, 2, 0, 1, 2);
    f1->setColumnStretch(2, 1);
    f1->setRowStretch(3, 1);
    fraIPAddress[1]->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = makeButton(this, "cmdOK", QStringLiteral("&OK"));
    cmdCancel = makeButton(this, "cmdCancel", QStringLiteral("&Cancel"));
    cmdApply = makeButton(this, "cmdApply", QStringLiteral("&Apply"));
    // Enter in the address box (or anywhere but another button) is OK.
    cmdOK->setDefault(true);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdApply);
    layout->addLayout(buttons);
    setMinimumSize(420, 260);

    // Ctrl+Tab and Ctrl+Shift+Tab go round the tabs, as in any tabbed dialog.
    for (const auto& [keys, step] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                     std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                                     std::pair{QKeySequence(Qt::CTRL | Qt::Key_Backtab), -1}}) {
        auto* next = new QShortcut(keys, this);
        connect(next, &QShortcut::activated, this, [this, step = step] {
            ctx_.services.runHandler([&] {
                const int n = tbsOptions->count();
                showTab((tbsOptions->currentIndex() + step + n) % n);
                Form_Activate();
            });
        });
    }
    connect(tbsOptions, &QTabBar::currentChanged, this, [this] { ctx_.services.runHandler([&] { tbsOptions_Click(); }); });
    connect(sliWaitTime, &QSlider::valueChanged, this, [this] { ctx_.services.runHandler([&] { sliWaitTime_Change(); }); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([&] { cmdOK_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([&] { cmdCancel_Click(); }); });
    connect(cmdApply, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([&] { cmdApply_Click(); }); });
}

void frmOptions::Form_Load() {
    QStringList known = HostHistory::readHostsListFile(HostHistory::hostsListPath(ctx_.services));
    if (known.isEmpty()) known = HostHistory::readHistory(ctx_.services);
    cboIPAddress->addItems(known);
    cboIPAddress->setCurrentIndex(-1);
    const QString url = ctx_.services.getSetting(Setting::URL);
    cboIPAddress->setEditText(IsStored(url) ? url.trimmed() : QString());

    sliWaitTime->setValue(waitTimeSetting(ctx_.services));
    sliWaitTime_Change();

    adjustSize();
    WindowGeometry::centre(this);
}

void frmOptions::Form_Activate() {
    if (tbsOptions->currentIndex() == kWaitTimeTab)
        sliWaitTime->setFocus();
    else
        cboIPAddress->setFocus();
}

void frmOptions::showTab(int tab) {
    tbsOptions->setCurrentIndex(tab);
    tbsOptions_Click();
}

void frmOptions::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Form_Activate();
}

void frmOptions::tbsOptions_Click() {
    for (QGroupBox* f : fraIPAddress) f->hide();
    const int i = tbsOptions->currentIndex();
    if (i >= 0 && i < static_cast<int>(fraIPAddress.size())) fraIPAddress[static_cast<size_t>(i)]->show();
}

void frmOptions::sliWaitTime_Change() { lblWaitTime->setText(QString::number(sliWaitTime->value())); }

bool frmOptions::cmdApply_Click() {
    const QString text = cboIPAddress->currentText().trimmed();
    cboIPAddress->setEditText(text);
    if (text.isEmpty()) {
        if (ctx_.services.msgBox(QStringLiteral("Please specify a valid IP address or host name entry."), MsgButtons::OKCancel,
                        MsgIcon::None, QStringLiteral("Tolvane")) == vbCancel)
            unload();
        return true;
    }
    if (!HostHistory::isValidHostSyntax(text)) {
        ctx_.services.msgBox(HostHistory::invalidHostMessage(text), MsgButtons::OK, MsgIcon::Exclamation,
                    QStringLiteral("Tolvane"));
        cboIPAddress->setFocus();
        cboIPAddress->lineEdit()->selectAll();
        return false;
    }
    ctx_.services.saveSetting(Setting::URL, text);
    ctx_.services.saveNumber(Setting::WaitTime, sliWaitTime->value());
    return true;
}

void frmOptions::cmdOK_Click() {
    if (cmdApply_Click()) hide();
}

void frmOptions::cmdCancel_Click() { hide(); }

void frmOptions::reject() { cmdCancel_Click(); }

void frmOptions::Form_Unload() {
    if (!ctx_.mainWindowLoaded() || ctx_.mainWindow().isNotConnected()) return;
    QStringList entries;
    for (int i = 0; i < cboIPAddress->count(); ++i) entries << cboIPAddress->itemText(i);
    HostHistory::rewriteHistory(ctx_.services, ctx_.connection.gHostAddress, entries);
}

void frmOptions::unload() {
    Form_Unload();
    ctx_.unloadOptionsWindow();
}

void frmOptions::closeEvent(QCloseEvent* e) {
    e->accept();
    // Unloading deletes the window later, once its own event has finished.
    if (ctx_.optionsWindowLoaded() && &ctx_.optionsWindow() == this) unload();
}

void frmOptions::showModal() { showModalWindow(ctx_, this); }
