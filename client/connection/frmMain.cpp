#include "frmMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

#include "AppContext.h"
#include "HostLink.h"

namespace {
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}
QAction* makeItem(QMenu* menu, const char* name, const QString& caption, const QString& shortcut) {
    auto* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) {
        a->setShortcut(QKeySequence(shortcut));
        // Keys of a text field (Ctrl+X, Ctrl+C, Ctrl+V) stay the field's own.
        a->setShortcutContext(Qt::WindowShortcut);
    }
    return a;
}
}  // namespace

frmMain::frmMain(AppContext& ctx) : ctx_(ctx) {
    setObjectName(QStringLiteral("frmMain"));
    buildControls();
}

frmMain::~frmMain() = default;

void frmMain::buildControls() {
    setWindowTitle(QStringLiteral("Tolvane"));
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* grid = new QGridLayout(central);

    Label5 = makeLabel(central, "Label5", QStringLiteral("iSeries Spoolwright"));
    Label4 = makeLabel(central, "Label4", QStringLiteral("Select Spool Files to Display"));
    Label1 = makeLabel(central, "Label1", QStringLiteral("Outq or *All:"));
    Label2 = makeLabel(central, "Label2", QStringLiteral("Library or *All:"));
    lblWrkSplf = makeLabel(central, "lblWrkSplf", QStringLiteral("User, *Current or *All:"));
    Label3 = makeLabel(central, "Label3", QStringLiteral("Connection Status:"));
    lblStatus = makeLabel(central, "lblStatus", QStringLiteral("Not connected."));
    lblVersion = makeLabel(central, "lblVersion", QString());
    picDisConnect = makeLabel(central, "picDisConnect", QString());
    picConnect = makeLabel(central, "picConnect", QString());
    Image1 = makeLabel(central, "Image1", QString());
    picConnect->hide();

    txtOutq = new QLineEdit(central);
    txtOutq->setObjectName(QStringLiteral("txtOutq"));
    cboLibrary = new QComboBox(central);
    cboLibrary->setObjectName(QStringLiteral("cboLibrary"));
    cboLibrary->setEditable(true);
    txtWrkSplf = new QLineEdit(central);
    txtWrkSplf->setObjectName(QStringLiteral("txtWrkSplf"));
    cmdListOutqs = new QPushButton(QStringLiteral("&Browse"), central);
    cmdListOutqs->setObjectName(QStringLiteral("cmdListOutqs"));
    cmdExit = new QPushButton(QStringLiteral("E&xit"), central);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdOK = new QPushButton(QStringLiteral("&Open"), central);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));

    grid->addWidget(Image1, 0, 0);
    grid->addWidget(Label5, 0, 1, 1, 2);
    grid->addWidget(Label4, 1, 0, 1, 3);
    grid->addWidget(Label1, 2, 0);
    grid->addWidget(txtOutq, 2, 1);
    grid->addWidget(cmdListOutqs, 2, 2);
    grid->addWidget(Label2, 3, 0);
    grid->addWidget(cboLibrary, 3, 1);
    grid->addWidget(lblWrkSplf, 4, 0);
    grid->addWidget(txtWrkSplf, 4, 1);
    grid->addWidget(cmdOK, 5, 1);
    grid->addWidget(cmdExit, 5, 2);
    grid->addWidget(Label3, 6, 0);
    grid->addWidget(lblStatus, 6, 1);
    grid->addWidget(picDisConnect, 6, 2);
    grid->addWidget(picConnect, 6, 2);
    grid->addWidget(lblVersion, 7, 0, 1, 3);

    sbMain = new QStatusBar(this);
    sbMain->setObjectName(QStringLiteral("sbMain"));
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

    connect(itmDisconnect, &QAction::triggered, this, [this] { itmDisconnect_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdListOutqs, &QPushButton::clicked, this, [this] { cmdListOutqs_Click(); });
    connect(itmListOutqs, &QAction::triggered, this, [this] { itmListOutqs_Click(); });
}

void frmMain::setStatusPanel(const QString& text) { sbMainPanel1->setText(text); }
QString frmMain::statusPanel() const { return sbMainPanel1->text(); }
void frmMain::Refresh() { repaint(); }
bool frmMain::isNotConnected() const { return lblStatus->text() == QLatin1String("Not connected."); }

void frmMain::Form_Load() {
    cboLibrary->clear();
    cboLibrary->addItems({QStringLiteral("*LIBL"), QStringLiteral("*ALL"), QStringLiteral("QUSRLIBL"),
                          QStringLiteral("QGPL"), QStringLiteral("QUSRSYS")});
    cboLibrary->setEditText(QStringLiteral("*LIBL"));
    itmDisconnect->setEnabled(false);
    setStatusPanel(QStringLiteral("Please specify a user, an outq or both.  "));
}

void frmMain::itmDisconnect_Click() {
    setStatusPanel(QStringLiteral("Deallocating the iSeries conversation.   "));
    Refresh();
    Disconnect(ctx_);
    itmDisconnect->setEnabled(false);
    itmConnect->setEnabled(true);
    itmConnect->setChecked(false);
    ctx_.gJobPort = 0;
    setStatusPanel(QStringLiteral("Please specify a user, an outq or both.  "));
    Refresh();
}

void frmMain::closeEvent(QCloseEvent* e) { e->accept(); }

