#include "frmMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "AppContext.h"
#include "Artwork.h"
#include "HostLink.h"
#include "NamedLabel.h"
#include "SplfScreenApi.h"
#include "WindowGeometry.h"
#include "frmOptions.h"

namespace {
QAction* makeItem(QMenu* menu, const char* name, const QString& caption, const QString& shortcut) {
    auto* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) {
        a->setShortcut(QKeySequence(shortcut));
        // The fields give the menus' keys up to them (eventFilter), as a
        // menu's accelerator wins over the focused control on the desktop
        // these keys were chosen for: Ctrl+X exits there, Ctrl+V saves as.
        a->setShortcutContext(Qt::WindowShortcut);
    }
    return a;
}
void setFontSize(QLabel* l, int delta, bool bold) {
    QFont f = l->font();
    f.setPointSize(f.pointSize() + delta);
    f.setBold(bold);
    l->setFont(f);
}
const QString kIdlePrompt = QStringLiteral("Please specify a user, an outq or both.  ");
}  // namespace

frmMain::frmMain(AppContext& ctx) : ctx_(ctx) {
    setObjectName(QStringLiteral("frmMain"));
    buildControls();
    wireHandlers();
    ctx_.link.addObserver(this);
}

frmMain::~frmMain() { ctx_.link.removeObserver(this); }

void frmMain::linkBusy(bool busy) {
    hostCommands_.set(busy, {cmdOK, cmdListOutqs, cmdExit, itmListOutqs, itmConnect, itmDisconnect, itmExit});
    // The download that the close box cancelled has ended: now the window closes.
    // A closed link, or a menu unlocked for a moment, is not that end: the run
    // still has its message to show and its hidden files to clear.
    if (!busy && closeWhenIdle_ && !ctx_.link.busy()) {
        closeWhenIdle_ = false;
        QMetaObject::invokeMethod(this, [this] { ctx_.services.runHandler([this] { Form_Unload(); }); }, Qt::QueuedConnection);
    }
}

template <class F>
void frmMain::unlocked(F f) {
    const bool locked = hostCommands_.active();
    if (locked) linkBusy(false);
    f();
    if (locked) linkBusy(true);
}

void frmMain::linkClosed() {
    unlocked([this] {
        itmChangeAddress->setEnabled(true);
        itmWaitTime->setEnabled(true);
        ctx_.optionsWindow().fraIPAddress[0]->setVisible(true);
        picDisConnect->show();
        picConnect->hide();
        lblStatus->setText(QStringLiteral("Not connected."));
    });
}

void frmMain::linkLost() {
    unlocked([this] { itmDisconnect_Click(); });
}

void frmMain::buildControls() {
    setWindowTitle(QStringLiteral("Tolvane"));
    auto* central = new QWidget(this);
    setCentralWidget(central);

    Label5 = namedLabel(central, "Label5", QStringLiteral("iSeries Spoolwright"));
    setFontSize(Label5, 6, true);
    Label4 = namedLabel(central, "Label4", QStringLiteral("Select Spool Files to Display"));
    setFontSize(Label4, 1, true);
    Label1 = namedLabel(central, "Label1", QStringLiteral("Outq or *All:"));
    Label2 = namedLabel(central, "Label2", QStringLiteral("Library or *All:"));
    lblWrkSplf = namedLabel(central, "lblWrkSplf", QStringLiteral("User, *Current or *All:"));
    Label3 = namedLabel(central, "Label3", QStringLiteral("Connection Status:"));
    lblStatus = namedLabel(central, "lblStatus", QStringLiteral("Not connected."));
    lblStatus->setFrameShape(QFrame::Panel);
    lblStatus->setFrameShadow(QFrame::Sunken);
    lblStatus->setMinimumWidth(WindowGeometry::pixels(3000));
    lblVersion = namedLabel(central, "lblVersion", QString());
    picDisConnect = namedLabel(central, "picDisConnect", QString());
    picDisConnect->setPixmap(Artwork::connectionSign(false));
    picConnect = namedLabel(central, "picConnect", QString());
    picConnect->setPixmap(Artwork::connectionSign(true));
    picConnect->hide();
    Image1 = namedLabel(central, "Image1", QString());
    Image1->setPixmap(Artwork::logo(56));

    txtOutq = new QLineEdit(central);
    txtOutq->setObjectName(QStringLiteral("txtOutq"));
    cboLibrary = new QComboBox(central);
    cboLibrary->setObjectName(QStringLiteral("cboLibrary"));
    cboLibrary->setEditable(true);
    cboLibrary->setInsertPolicy(QComboBox::NoInsert);
    txtWrkSplf = new QLineEdit(central);
    txtWrkSplf->setObjectName(QStringLiteral("txtWrkSplf"));
    for (QWidget* field : {static_cast<QWidget*>(txtOutq), static_cast<QWidget*>(txtWrkSplf),
                           static_cast<QWidget*>(cboLibrary), static_cast<QWidget*>(cboLibrary->lineEdit())})
        field->installEventFilter(this);
    cmdListOutqs = new QPushButton(QStringLiteral("&Browse"), central);
    cmdListOutqs->setObjectName(QStringLiteral("cmdListOutqs"));
    cmdExit = new QPushButton(QStringLiteral("E&xit"), central);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdOK = new QPushButton(QStringLiteral("&Open"), central);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    // A focused button takes Enter itself; elsewhere Enter presses "&Open".
    cmdListOutqs->setAutoDefault(true);
    cmdExit->setAutoDefault(true);
    // The reading order: each field with its button, then "&Open" before "E&xit".
    setTabOrder(txtOutq, cmdListOutqs);
    setTabOrder(cmdListOutqs, cboLibrary);
    setTabOrder(cboLibrary, txtWrkSplf);
    setTabOrder(txtWrkSplf, cmdOK);
    setTabOrder(cmdOK, cmdExit);

    auto* headings = new QVBoxLayout;
    headings->addWidget(Label5);
    headings->addWidget(Label4);
    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addSpacing(10);
    top->addLayout(headings, 1);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(txtOutq, 0, 1);
    fields->addWidget(cmdListOutqs, 0, 2);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(cboLibrary, 1, 1);
    fields->addWidget(lblWrkSplf, 2, 0);
    fields->addWidget(txtWrkSplf, 2, 1);
    fields->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdExit);

    auto* status = new QHBoxLayout;
    status->addWidget(Label3);
    status->addWidget(lblStatus, 1);
    status->addWidget(picDisConnect);
    status->addWidget(picConnect);

    auto* rule = new QFrame(central);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(16, 12, 16, 8);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addStretch(1);
    layout->addWidget(rule);
    layout->addLayout(status);
    layout->addWidget(lblVersion);

    sbMain = new QStatusBar(this);
    sbMain->setObjectName(QStringLiteral("sbMain"));
    sbMain->setSizeGripEnabled(false);
    sbMainPanel1 = new QLabel(sbMain);
    sbMainPanel1->setObjectName(QStringLiteral("sbMainPanel1"));
    sbMain->addWidget(sbMainPanel1, 1);
    setStatusBar(sbMain);

    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    itmOpen = makeItem(mnuFile, "itmOpen", QStringLiteral("&Open..."), QStringLiteral("Ctrl+O"));
    itmSave = makeItem(mnuFile, "itmSave", QStringLiteral("&Save"), QStringLiteral("Ctrl+S"));
    itmSave->setEnabled(false);
    itmSaveAs = makeItem(mnuFile, "itmSaveAs", QStringLiteral("Sa&ve As..."), QStringLiteral("Ctrl+V"));
    itmListOutqs = makeItem(mnuFile, "itmListOutqs", QStringLiteral("List Out&qs..."), QStringLiteral("Ctrl+Q"));
    itmSaveSettings = makeItem(mnuFile, "itmSaveSettings", QStringLiteral("&Remember Settings"), QStringLiteral("Ctrl+R"));
    itmSaveSettings->setCheckable(true);
    itmSaveSettings->setChecked(true);
    itmExit = makeItem(mnuFile, "itmExit", QStringLiteral("E&xit"), QStringLiteral("Ctrl+X"));
    mnuConnect = menuBar()->addMenu(QStringLiteral("&Connect"));
    mnuConnect->setObjectName(QStringLiteral("mnuConnect"));
    itmConnect = makeItem(mnuConnect, "itmConnect", QStringLiteral("&Connect to iSeries"), QStringLiteral("Ctrl+C"));
    itmConnect->setCheckable(true);
    itmDisconnect = makeItem(mnuConnect, "itmDisconnect", QStringLiteral("&Disconnect"), QStringLiteral("Ctrl+D"));
    itmAutoConnect = makeItem(mnuConnect, "itmAutoConnect", QStringLiteral("&Auto connect at startup"), QStringLiteral("Ctrl+A"));
    itmAutoConnect->setCheckable(true);
    itmChangePassword = makeItem(mnuConnect, "itmChangePassword", QStringLiteral("Change &Password"), QStringLiteral("Ctrl+P"));
    itmChangeAddress = makeItem(mnuConnect, "itmChangeAddress", QStringLiteral("iSeries &IP Address or Host Name..."), QStringLiteral("Ctrl+I"));
    itmWaitTime = makeItem(mnuConnect, "itmWaitTime", QStringLiteral("Connect &wait Time..."), QStringLiteral("Ctrl+W"));
    mnuOptions = menuBar()->addAction(QStringLiteral("&Naming Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    itmGeneralHelp = makeItem(mnuHelp, "itmGeneralHelp", QStringLiteral("Contents"), QStringLiteral("Ctrl+H"));
    itmAbout = makeItem(mnuHelp, "itmAbout", QStringLiteral("About iSeries Spoolwright"), QString());
}

void frmMain::wireHandlers() {
    // A checkable item ticks itself when triggered; its handler reverses the tick itself,
    // so the automatic toggle is undone before the handler runs.
    auto onItem = [this](QAction* a, void (frmMain::*handler)()) {
        connect(a, &QAction::triggered, this, [this, a, handler] {
            if (a->isCheckable()) a->setChecked(!a->isChecked());
            ctx_.services.runHandler([this, handler] { (this->*handler)(); });
        });
    };
    onItem(itmOpen, &frmMain::itmOpen_Click);
    onItem(itmSave, &frmMain::itmSave_Click);
    onItem(itmSaveAs, &frmMain::itmSaveAs_Click);
    onItem(itmListOutqs, &frmMain::itmListOutqs_Click);
    onItem(itmSaveSettings, &frmMain::itmSaveSettings_Click);
    onItem(itmExit, &frmMain::itmExit_Click);
    onItem(itmConnect, &frmMain::itmConnect_Click);
    onItem(itmDisconnect, &frmMain::itmDisconnect_Click);
    onItem(itmAutoConnect, &frmMain::itmAutoConnect_Click);
    onItem(itmChangePassword, &frmMain::itmChangePassword_Click);
    onItem(itmChangeAddress, &frmMain::itmChangeAddress_Click);
    onItem(itmWaitTime, &frmMain::itmWaitTime_Click);
    onItem(mnuOptions, &frmMain::mnuOptions_Click);
    onItem(itmGeneralHelp, &frmMain::itmGeneralHelp_Click);
    onItem(itmAbout, &frmMain::itmAbout_Click);

    auto onButton = [this](QPushButton* b, void (frmMain::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { ctx_.services.runHandler([this, handler] { (this->*handler)(); }); });
    };
    onButton(cmdOK, &frmMain::cmdOK_Click);
    onButton(cmdListOutqs, &frmMain::cmdListOutqs_Click);
    onButton(cmdExit, &frmMain::cmdExit_Click);
}

void frmMain::setStatusPanel(const QString& text) { sbMainPanel1->setText(text); }
QString frmMain::statusPanel() const { return sbMainPanel1->text(); }
void frmMain::Refresh() { repaint(); }
bool frmMain::isNotConnected() const { return lblStatus->text() == QLatin1String("Not connected."); }

void frmMain::showConnected(const QString& status) {
    itmConnect->setEnabled(false);
    itmChangeAddress->setEnabled(false);
    itmWaitTime->setEnabled(false);
    ctx_.optionsWindow().fraIPAddress[0]->setVisible(false);
    itmConnect->setChecked(true);
    lblStatus->setText(status);
    picDisConnect->hide();
    picConnect->show();
    itmDisconnect->setEnabled(true);
}

void frmMain::Form_Load() {
    WindowGeometry::sizeAndCentre(this, 7000, 5775);
    lblVersion->setText(ctx_.services.version.text());
    cboLibrary->clear();
    cboLibrary->addItems({QStringLiteral("*LIBL"), QStringLiteral("*ALL"), QStringLiteral("QUSRLIBL"),
                          QStringLiteral("QGPL"), QStringLiteral("QUSRSYS")});
    cboLibrary->setEditText(QStringLiteral("*LIBL"));
    itmDisconnect->setEnabled(false);
    setStatusPanel(kIdlePrompt);
}

void frmMain::itmDisconnect_Click() {
    setStatusPanel(QStringLiteral("Deallocating the iSeries conversation.   "));
    Refresh();
    Disconnect(ctx_.link);
    itmDisconnect->setEnabled(false);
    itmConnect->setEnabled(true);
    itmConnect->setChecked(false);
    ctx_.connection.gJobPort = 0;
    setStatusPanel(kIdlePrompt);
    Refresh();
}

void frmMain::txtOutq_GotFocus() { txtOutq->setSelection(0, static_cast<int>(txtOutq->text().length())); }
void frmMain::txtWrkSplf_GotFocus() { txtWrkSplf->setSelection(0, static_cast<int>(txtWrkSplf->text().length())); }

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Not taken by the field: the menu item with this key runs instead.
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (QAction* a : findChildren<QAction*>())
            if (!a->shortcut().isEmpty() && a->shortcut() == pressed) {
                event->ignore();
                return true;
            }
    }
    if (event->type() == QEvent::FocusIn) {
        // After the line edit's own focus handling, which would place the cursor again.
        if (watched == txtOutq) QMetaObject::invokeMethod(this, [this] { txtOutq_GotFocus(); }, Qt::QueuedConnection);
        if (watched == txtWrkSplf)
            QMetaObject::invokeMethod(this, [this] { txtWrkSplf_GotFocus(); }, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

// A main window has no default button of its own: Enter in a field presses
// "&Open", as it would in a dialog.
void frmMain::keyPressEvent(QKeyEvent* e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && cmdOK->isEnabled() &&
        cmdOK->isVisible()) {
        e->accept();
        cmdOK->click();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

namespace {
// While the program closes, the word that the cancel took goes to the status
// line: a box would keep the program, and its host job, waiting for somebody
// who has already left. Every other failure is still told as before.
class ClosingReporter : public Reporter {
public:
    ClosingReporter(std::unique_ptr<Reporter> before, std::function<void(const QString&)> status)
        : before_(std::move(before)), status_(std::move(status)) {}
    void report(const Failure& failure) override {
        if (failure.cancelNotice)
            status_(failure.text.trimmed());
        else if (before_)
            before_->report(failure);
    }

private:
    std::unique_ptr<Reporter> before_;
    std::function<void(const QString&)> status_;
};
}  // namespace

void frmMain::closeAfterTheDownload() {
    if (!closeWhenIdle_)
        ctx_.services.reporter = std::make_unique<ClosingReporter>(
            std::move(ctx_.services.reporter), [this](const QString& text) {
                setStatusPanel(text);
                Refresh();
            });
    closeWhenIdle_ = true;
    ctx_.frmSplf().widget()->close();
}

// The close box runs the same stop sequence as "E&xit", except during a
// download: ending then would leave its report half written (a file added to,
// longer than before), so the run is cancelled first, as the spooled-file
// screen's own close does, and the window closes once the run has ended.
void frmMain::closeEvent(QCloseEvent* e) {
    if (ctx_.link.busy() && ctx_.splfScreen.loaded() &&
        ctx_.frmSplf().cancelCaption() == QLatin1String("&Cancel")) {
        e->ignore();
        closeAfterTheDownload();
        return;
    }
    e->accept();
    ctx_.services.runHandler([this] { Form_Unload(); });
}
