#include "frmSplf.h"

#include <QAbstractItemView>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <stdexcept>

#include "AppContext.h"
#include "DownloadDriver.h"
#include "ConnectionWindows.h"
#include "ProcessTypes.h"
#include "TableSplfGrid.h"
#include "WindowServices.h"
#include "frmEdit.h"
#include "frmMain.h"
#include "frmPrint.h"

namespace {
constexpr int kTwipsPerPixel = 15;

template <class W>
W* named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLabel* label(QWidget* parent, const char* name, const char* text) {
    return named(new QLabel(QString::fromLatin1(text), parent), name);
}

QCheckBox* checkBox(QWidget* parent, const char* name, const char* text) {
    return named(new QCheckBox(QString::fromLatin1(text), parent), name);
}

// The width a combo box needs to show each of these texts whole.
int widthForTexts(QComboBox* c, const QStringList& texts) {
    const QFontMetrics fm(c->font());
    int widest = 0;
    for (const QString& t : texts) widest = qMax(widest, fm.horizontalAdvance(t));
    QStyleOptionComboBox opt;
    opt.initFrom(c);
    opt.editable = c->isEditable();
    // The text field inside keeps a few pixels each side.
    constexpr int kFieldMargins = 8;
    return c->style()->sizeFromContents(QStyle::CT_ComboBox, &opt, QSize(widest + kFieldMargins, fm.height()), c).width();
}

QComboBox* combo(QWidget* parent, const char* name) {
    auto* c = named(new QComboBox(parent), name);
    // The lists also take texts they do not hold (from settings files).
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

QGroupBox* frame(QWidget* parent, const char* name, const char* caption) {
    return named(new QGroupBox(QString::fromLatin1(caption), parent), name);
}

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    return named(new QPushButton(QString::fromLatin1(caption), parent), name);
}

// The buttons of one exclusive group of an option array, elements first..last.
template <size_t N>
QButtonGroup* optionGroup(QWidget* parent, std::array<QRadioButton*, N>& array, const char* name, size_t first,
                          size_t last, std::initializer_list<const char*> captions) {
    auto* group = new QButtonGroup(parent);
    auto caption = captions.begin();
    for (size_t i = first; i <= last; ++i, ++caption) {
        array[i] = new QRadioButton(QString::fromLatin1(*caption), parent);
        array[i]->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i));
        group->addButton(array[i], static_cast<int>(i));
    }
    return group;
}

void setOwnEnabled(std::initializer_list<QWidget*> widgets, bool on) {
    for (QWidget* w : widgets) w->setEnabled(on);
}

bool ownEnabled(const QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); }

// Checks or clears one option button; clearing needs its group's exclusivity
// lifted for a moment.
void setButton(QRadioButton* b, bool on) {
    if (b->isChecked() == on) return;
    QButtonGroup* g = b->group();
    const bool exclusive = g && g->exclusive();
    if (!on && exclusive) g->setExclusive(false);
    b->setChecked(on);
    if (!on && exclusive) g->setExclusive(true);
}
}  // namespace

frmSplf::frmSplf(AppContext& ctx) : ctx_(ctx) {
    setObjectName(QStringLiteral("frmSplf"));
    setWindowTitle(QStringLiteral("Select reports to download and their destination"));
    // The screen was drawn for an 8-point font; larger text would not fit its size.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    // Modal to no window of its own: "&Open" turns the main window off while
    // the screen is up, so that the main window's close box still reaches it
    // (a window blocked by an application-modal one never hears of its close
    // box) and can cancel a download before the program ends.
    setWindowModality(Qt::WindowModal);
    buildControls();
    buildLayout();
    setDesignedValues();
    connectHandlers();
}

frmSplf::~frmSplf() = default;

void frmSplf::buildControls() {
    menuBar = named(new QMenuBar(this), "menuBar");
    mnuFile = named(menuBar->addMenu(QStringLiteral("&File")), "mnuFile");
    itmRefresh = named(mnuFile->addAction(QStringLiteral("&Refresh")), "itmRefresh");
    itmExit = named(mnuFile->addAction(QStringLiteral("&Close")), "itmExit");
    itmTranslation = named(mnuFile->addAction(QStringLiteral("&Translation")), "itmTranslation");
    mnuOptions = named(menuBar->addAction(QStringLiteral("&Naming Options")), "mnuOptions");
    mnuHelp = named(menuBar->addMenu(QStringLiteral("&Help")), "mnuHelp");
    itmContents = named(mnuHelp->addAction(QStringLiteral("Contents")), "itmContents");
    itmAbout = named(mnuHelp->addAction(QStringLiteral("About the Spoolwright")), "itmAbout");

    fraGrd = frame(this, "fraGrd", "");
    grdSplfTable = named(new QTableView(fraGrd), "grdSplf");
    grid_ = std::make_unique<TableSplfGrid>(grdSplfTable);

    lblDownloadTo = label(this, "lblDownloadTo", "Download to:");
    cboProcessType = combo(this, "cboProcessType");
    cboProcessType->lineEdit()->setReadOnly(true);
    lblTranslation = label(this, "lblTranslation", "Translation:");
    cboTranslation = combo(this, "cboTranslation");

    fraRange = frame(this, "fraRange", "Page range");
    lblFrom = label(fraRange, "lblFrom", "From:");
    txtFrom = named(new QLineEdit(fraRange), "txtFrom");
    txtFrom->setMaxLength(6);
    lblTo = label(fraRange, "lblTo", "To:");
    txtTo = named(new QLineEdit(fraRange), "txtTo");
    txtTo->setMaxLength(6);

    fraFormatting = frame(this, "fraFormatting", "Format options");
    chkBlankLines = checkBox(fraFormatting, "chkBlankLines", "Remove blank lines and page breaks");
    chkOverprinting = checkBox(fraFormatting, "chkOverprinting", "Suppress overprinting");
    chkORMinusSign = checkBox(fraFormatting, "chkORMinusSign", "Convert right side minus sign and 'CR'");

    fraText = frame(this, "fraText", "Text options");
    chkPrtCtl = checkBox(fraText, "chkPrtCtl", "Include print control characters");
    groups_.push_back(optionGroup(fraText, optPrtCtlFormat, "optPrtCtlFormat", 0, 1, {"*PRTCTL format", "*FCFC format"}));
    lblPageLength = label(fraText, "lblPageLength", "Lines per page");
    cboPageLength = combo(fraText, "cboPageLength");
    groups_.push_back(optionGroup(fraText, optAddReplace, "optAddReplace", 2, 3, {"Replace file", "Add to file"}));

    fraHTML = frame(this, "fraHTML", "HTML options");
    groups_.push_back(optionGroup(fraHTML, optAddReplace, "optAddReplace", 0, 1, {"&Replace file", "&Add to file"}));
    lblFontSizeHTML = label(fraHTML, "lblFontSizeHTML", "Font size:");
    cboFontSizeHTML = combo(fraHTML, "cboFontSizeHTML");

    fraPDF = frame(this, "fraPDF", "PDF options");
    groups_.push_back(optionGroup(fraPDF, optPageOrientation, "optPageOrientation", 0, 1, {"Portrait", "Landscape"}));
    lblPaperSize = label(fraPDF, "lblPaperSize", "Paper size:");
    cboPaperSize = combo(fraPDF, "cboPaperSize");
    lblFontSize = label(fraPDF, "lblFontSize", "Font size:");
    cboFontSize = combo(fraPDF, "cboFontSize");
    lblVertSize = label(fraPDF, "lblVertSize", "Verticle spacing:");
    cboVertSize = combo(fraPDF, "cboVertSize");

    fraPrinter = frame(this, "fraPrinter", "Print options");
    // Alt+F is the "&File" menu: the caption reads the same, its key is Z.
    cmdPrinter = button(fraPrinter, "cmdPrinter", "Font si&zes and page orientation...");

    fraEmail = frame(this, "fraEmail", "E-Mail options");
    groups_.push_back(optionGroup(fraEmail, optEmail, "optEmail", 0, 1, {"Send as message", "Send as attachment"}));
    groups_.push_back(optionGroup(fraEmail, optTextOrPDF, "optTextOrPDF", 0, 1, {"Text", "PDF"}));
    chkAutoSend = checkBox(fraEmail, "chkAutoSend", "Automatically send");
    chkAttachMultiples = checkBox(fraEmail, "chkAttachMultiples", "Attach all to single email");
    cmdAutoOptions = button(fraEmail, "cmdAutoOptions", "Auto send options...");
    lblTabs = label(fraEmail, "lblTabs", "Tabs");
    txtTabs = named(new QLineEdit(fraEmail), "txtTabs");
    txtTabs->setMaxLength(2);
    txtTabs->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-7+\\-]{0,2}")), txtTabs));
    txtTabs2 = named(new QLineEdit(fraEmail), "txtTabs2");
    txtTabs2->setMaxLength(1);
    txtTabs2->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-7]?")), txtTabs2));

    fraMacro = frame(this, "fraMacro", "");
    chkMacro = checkBox(fraMacro, "chkMacro", "Run a macro");
    chkRunSilent = checkBox(fraMacro, "chkRunSilent", "Save without editing");
    chkAutoformat = checkBox(fraMacro, "chkAutoformat", "Autoformat");

    fraParse = frame(this, "fraParse", "Data parsing");
    groups_.push_back(
        optionGroup(fraParse, optParse, "optParse", 0, 2, {"No parsing", "Default parsing", "Wizard parsing"}));

    txtLink = named(new QLineEdit(this), "txtLink");
    txtLink->hide();

    cmdOK = button(this, "cmdOK", "&Open");
    cmdOK->setDefault(true);
    cmdCancel = button(this, "cmdCancel", "&Close");

    sbSplf = named(new QStatusBar(this), "sbSplf");
    sbSplf->setSizeGripEnabled(true);
    sbSplfPanel1 = label(sbSplf, "sbSplfPanel1",
                         "Select one or more spool files to download, and the download destination.");
    sbSplfPanel2 = label(sbSplf, "sbSplfPanel2", "");
    sbSplf->addWidget(sbSplfPanel1, 1);
    sbSplf->addPermanentWidget(sbSplfPanel2);

    arrays_[QStringLiteral("optPrtCtlFormat")] = {optPrtCtlFormat.begin(), optPrtCtlFormat.end()};
    arrays_[QStringLiteral("optAddReplace")] = {optAddReplace.begin(), optAddReplace.end()};
    arrays_[QStringLiteral("optPageOrientation")] = {optPageOrientation.begin(), optPageOrientation.end()};
    arrays_[QStringLiteral("optEmail")] = {optEmail.begin(), optEmail.end()};
    arrays_[QStringLiteral("optTextOrPDF")] = {optTextOrPDF.begin(), optTextOrPDF.end()};
    arrays_[QStringLiteral("optParse")] = {optParse.begin(), optParse.end()};
}

// The grid and its frame take what the window gives; the destination row, the
// option frames and the buttons keep their height at the bottom, the buttons
// at the right.
void frmSplf::buildLayout() {
    auto* gridBox = new QVBoxLayout(fraGrd);
    gridBox->setContentsMargins(2, 2, 2, 2);
    gridBox->addWidget(grdSplfTable);

    auto* range = new QHBoxLayout(fraRange);
    range->addWidget(lblFrom);
    range->addWidget(txtFrom);
    range->addWidget(lblTo);
    range->addWidget(txtTo);
    for (QLineEdit* e : {txtFrom, txtTo}) e->setMaximumWidth(70);

    auto* formatting = new QVBoxLayout(fraFormatting);
    for (QWidget* w : {chkBlankLines, chkOverprinting, chkORMinusSign}) formatting->addWidget(w);

    auto* text = new QGridLayout(fraText);
    text->addWidget(chkPrtCtl, 0, 0, 1, 2);
    text->addWidget(optPrtCtlFormat[0], 1, 0);
    text->addWidget(optPrtCtlFormat[1], 1, 1);
    text->addWidget(lblPageLength, 2, 0);
    text->addWidget(cboPageLength, 2, 1);
    text->addWidget(optAddReplace[2], 3, 0);
    text->addWidget(optAddReplace[3], 3, 1);

    auto* html = new QGridLayout(fraHTML);
    html->addWidget(optAddReplace[0], 0, 0);
    html->addWidget(optAddReplace[1], 1, 0);
    html->addWidget(lblFontSizeHTML, 2, 0);
    html->addWidget(cboFontSizeHTML, 2, 1);

    auto* pdf = new QGridLayout(fraPDF);
    pdf->addWidget(lblPaperSize, 0, 0);
    pdf->addWidget(cboPaperSize, 0, 1);
    pdf->addWidget(lblFontSize, 1, 0);
    pdf->addWidget(cboFontSize, 1, 1);
    pdf->addWidget(lblVertSize, 2, 0);
    pdf->addWidget(cboVertSize, 2, 1);
    pdf->addWidget(optPageOrientation[0], 3, 0);
    pdf->addWidget(optPageOrientation[1], 3, 1);

    auto* printer = new QVBoxLayout(fraPrinter);
    printer->addWidget(cmdPrinter);
    printer->addStretch(1);

    auto* email = new QGridLayout(fraEmail);
    email->addWidget(optEmail[0], 0, 0);
    email->addWidget(optEmail[1], 1, 0);
    email->addWidget(optTextOrPDF[0], 0, 1);
    email->addWidget(optTextOrPDF[1], 1, 1);
    email->addWidget(chkAutoSend, 2, 0);
    email->addWidget(cmdAutoOptions, 2, 1);
    email->addWidget(chkAttachMultiples, 3, 0);
    auto* tabs = new QHBoxLayout;
    tabs->addWidget(lblTabs);
    tabs->addWidget(txtTabs);
    tabs->addWidget(txtTabs2);
    for (QLineEdit* e : {txtTabs, txtTabs2}) e->setMaximumWidth(30);
    email->addLayout(tabs, 3, 1);

    auto* macro = new QVBoxLayout(fraMacro);
    for (QWidget* w : {chkMacro, chkRunSilent, chkAutoformat}) macro->addWidget(w);

    auto* parse = new QVBoxLayout(fraParse);
    for (QRadioButton* b : optParse) parse->addWidget(b);

    for (QComboBox* c : {cboPageLength, cboFontSizeHTML, cboFontSize, cboVertSize}) c->setFixedWidth(80);
    cboPaperSize->setFixedWidth(110);

    for (QGroupBox* f : {fraRange, fraFormatting, fraText, fraHTML, fraPDF, fraPrinter, fraEmail, fraMacro, fraParse}) {
        f->layout()->setContentsMargins(6, 2, 6, 4);
        f->layout()->setSpacing(4);
    }

    // The destination frames share one place; only the chosen one shows (the
    // macro frame with the parsing frame beside it), and the place keeps the
    // size of the largest so that nothing jumps.
    auto* stack = new QWidget(this);
    stack->setObjectName(QStringLiteral("optionFrames"));
    auto* stackLayout = new QGridLayout(stack);
    stackLayout->setContentsMargins(0, 0, 0, 0);
    QSize largest = fraMacro->sizeHint() + QSize(fraParse->sizeHint().width() + stackLayout->spacing(), 0);
    for (QGroupBox* f : {fraText, fraHTML, fraPDF, fraPrinter, fraEmail}) {
        stackLayout->addWidget(f, 0, 0, 1, 2);
        largest = largest.expandedTo(f->sizeHint());
    }
    stackLayout->addWidget(fraMacro, 0, 0);
    stackLayout->addWidget(fraParse, 0, 1);
    stackLayout->setColumnStretch(2, 1);
    stack->setMinimumSize(largest);

    // The destination row above the range, the format checks and the
    // destination's frames; any extra width goes right of them, and the
    // buttons keep to the right edge.
    auto* destination = new QHBoxLayout;
    destination->addWidget(lblDownloadTo);
    destination->addWidget(cboProcessType);
    destination->addSpacing(16);
    destination->addWidget(lblTranslation);
    destination->addWidget(cboTranslation);
    destination->addStretch(1);
    auto* leftColumn = new QVBoxLayout;
    leftColumn->addWidget(fraRange);
    leftColumn->addWidget(fraFormatting);
    auto* frames = new QHBoxLayout;
    frames->setSpacing(4);
    frames->addLayout(leftColumn);
    frames->addWidget(stack, 0, Qt::AlignTop);
    frames->addStretch(1);
    auto* options = new QVBoxLayout;
    options->addLayout(destination);
    options->addLayout(frames);
    for (QWidget* w : std::initializer_list<QWidget*>{cboProcessType, cboTranslation, fraRange, fraFormatting, stack})
        w->setSizePolicy(QSizePolicy::Fixed, w->sizePolicy().verticalPolicy());
    // Wide enough for the prompt and every destination: none is cut off.
    QStringList destinations = ProcessTypes::all();
    destinations << ProcessTypes::kPrompt;
    cboProcessType->setFixedWidth(widthForTexts(cboProcessType, destinations));
    cboTranslation->setFixedWidth(220);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(4);
    bottom->addLayout(options, 1);
    bottom->addLayout(buttons, 0);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(fraGrd, 1);
    layout->addLayout(bottom, 0);
    layout->addWidget(sbSplf);
    setSizeGripEnabled(false);
    // The smallest window that the screen lays out: 9750 x 6000 twips, and
    // never less than its controls need.
    setMinimumSize(QSize(9750 / kTwipsPerPixel, 6000 / kTwipsPerPixel).expandedTo(layout->minimumSize()));
}

void frmSplf::setDesignedValues() {
    txtFrom->setText(QStringLiteral("*Start"));
    txtTo->setText(QStringLiteral("*End"));
    chkBlankLines->setChecked(false);
    chkOverprinting->setChecked(true);
    chkORMinusSign->setChecked(true);
    optPrtCtlFormat[0]->setChecked(true);
    optAddReplace[0]->setChecked(true);
    optPageOrientation[0]->setChecked(true);
    optTextOrPDF[0]->setChecked(true);
    optParse[0]->setChecked(true);
    txtTabs->setText(QStringLiteral("1"));
    txtTabs2->setText(QStringLiteral("1"));
    // The state that the process type's reset leaves.
    setOwnEnabled({chkMacro, chkAttachMultiples, chkOverprinting, chkBlankLines, chkORMinusSign}, false);
    for (QGroupBox* f : {fraEmail, fraMacro, fraParse, fraPrinter, fraPDF, fraHTML, fraText}) f->hide();
}

void frmSplf::connectHandlers() {
    connect(itmRefresh, &QAction::triggered, this, [this] { ctx_.services.runHandler([&] { itmRefresh_Click(); }); });
    connect(itmExit, &QAction::triggered, this, [this] { ctx_.services.runHandler([&] { itmExit_Click(); }); });
    connect(mnuOptions, &QAction::triggered, this, [this] { ctx_.services.runHandler([&] { mnuOptions_Click(); }); });
    connect(itmContents, &QAction::triggered, this, [this] { ctx_.services.runHandler([&] { itmContents_Click(); }); });
    connect(itmAbout, &QAction::triggered, this, [this] { ctx_.services.runHandler([&] { itmAbout_Click(); }); });
    connect(cboProcessType, &QComboBox::activated, this, [this] { ctx_.services.runHandler([&] { cboProcessType_Click(); }); });
    connect(cboPaperSize, &QComboBox::activated, this, [this] { ctx_.services.runHandler([&] { cboPaperSize_Click(); }); });
    // A change of value runs the click handler, also when it is set in code.
    connect(chkPrtCtl, &QCheckBox::toggled, this, [this] { ctx_.services.runHandler([&] { chkPrtCtl_Click(); }); });
    connect(chkAutoSend, &QCheckBox::toggled, this, [this] { ctx_.services.runHandler([&] { chkAutoSend_Click(); }); });
    for (int i = 0; i < 2; ++i)
        connect(optEmail[static_cast<size_t>(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) ctx_.services.runHandler([&] { optEmail_Click(i); });
        });
    connect(cmdAutoOptions, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([&] { cmdAutoOptions_Click(); }); });
    connect(cmdPrinter, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([&] { cmdPrinter_Click(); }); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([&] { cmdOK_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([&] { cmdCancel_Click(); }); });
    connect(grdSplfTable, &QTableView::doubleClicked, this, [this] { ctx_.services.runHandler([&] { grdSplf_DblClick(); }); });
    // The process type is picked from the list only: a click on its text or
    // on its label opens the list, as do F4, Alt+Down and the space bar. The
    // page range selects its whole text on entry.
    cboProcessType->installEventFilter(this);
    cboProcessType->lineEdit()->installEventFilter(this);
    lblDownloadTo->installEventFilter(this);
    lblDownloadTo->setBuddy(cboProcessType);
    txtFrom->installEventFilter(this);
    txtTo->installEventFilter(this);
}

bool frmSplf::eventFilter(QObject* watched, QEvent* event) {
    const bool processType = watched == cboProcessType || watched == cboProcessType->lineEdit();
    if ((watched == cboProcessType->lineEdit() || watched == lblDownloadTo) &&
        event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        cboProcessType->isEnabled()) {
        cboProcessType->setFocus(Qt::MouseFocusReason);
        cboProcessType->showPopup();
        return true;
    }
    if (processType && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool opens = key->key() == Qt::Key_F4 || key->key() == Qt::Key_Space ||
                           ((key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) &&
                            key->modifiers().testFlag(Qt::AltModifier));
        if (opens && event->type() == QEvent::KeyPress) cboProcessType->showPopup();
        // Typed characters are discarded; the keys that move in a list move
        // the choice, as in any list, and Tab and Shift+Tab move the focus on.
        const int last = cboProcessType->count() - 1, at = cboProcessType->currentIndex();
        int to = -1;
        if (!opens) {
            switch (key->key()) {
                case Qt::Key_Up: to = std::max(0, at - 1); break;
                case Qt::Key_Down: to = std::min(last, at + 1); break;
                case Qt::Key_Home: case Qt::Key_PageUp: to = 0; break;
                case Qt::Key_End: case Qt::Key_PageDown: to = last; break;
                default: break;
            }
        }
        if (to >= 0 && event->type() == QEvent::KeyPress && to != at && cboProcessType->isEnabled()) {
            cboProcessType->setCurrentIndex(to);
            ctx_.services.runHandler([&] { cboProcessType_Click(); });
        }
        return key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab;
    }
    if ((watched == txtFrom || watched == txtTo) && event->type() == QEvent::FocusIn) {
        auto* edit = static_cast<QLineEdit*>(watched);
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    }
    return QDialog::eventFilter(watched, event);
}

void frmSplf::cboProcessType_Click() {
    setOwnEnabled({chkMacro, chkAttachMultiples}, false);
    for (QGroupBox* f : {fraEmail, fraMacro, fraParse, fraPrinter, fraPDF, fraHTML, fraText}) f->hide();
    setOwnEnabled({chkOverprinting, chkBlankLines, chkORMinusSign}, false);

    ProcessTypes::View v;
    if (ProcessTypes::viewOf(cboProcessType->currentText(), v)) {
        using namespace ProcessTypes;
        fraFormatting->setEnabled(true);
        const std::pair<unsigned, QGroupBox*> frames[] = {
            {FrameText, fraText},   {FrameHtml, fraHTML},   {FramePdf, fraPDF},     {FramePrinter, fraPrinter},
            {FrameEmail, fraEmail}, {FrameMacro, fraMacro}, {FrameParse, fraParse},
        };
        for (const auto& [bit, f] : frames)
            if (v.frames & bit) f->show();
        if (v.frames & FrameMacro) {
            fraMacro->setTitle(v.macroCaption);
            fraMacro->setEnabled(true);
        }
        chkORMinusSign->setEnabled(v.minusSign);
        chkBlankLines->setEnabled(v.blankLines);
        chkOverprinting->setEnabled(v.overprinting == View::Yes ||
                                    (v.overprinting == View::UnlessPrintControl && !chkPrtCtl->isChecked()));
        chkMacro->setEnabled(v.macro);
        if (v.frames & FrameParse) {
            fraParse->setEnabled(true);
            for (size_t i = 0; i < optParse.size(); ++i) optParse[i]->setEnabled(static_cast<int>(i) < v.parseButtons);
        }
        if (v.email) {
            chkAttachMultiples->setEnabled(optEmail[1]->isChecked() && !chkAutoSend->isChecked());
            for (QWidget* w : {static_cast<QWidget*>(txtTabs), static_cast<QWidget*>(lblTabs),
                               static_cast<QWidget*>(txtTabs2)})
                w->setVisible(v.notesTabs);
        }
    }
    ctx_.download.gMinusSignApplicable = ownEnabled(chkORMinusSign);
}

void frmSplf::cboPaperSize_Click() {
    const bool bestFit = cboPaperSize->currentText() == QLatin1String("Best fit");
    setOwnEnabled({cboFontSize, lblFontSize, cboVertSize, lblVertSize, optPageOrientation[0], optPageOrientation[1]},
                  !bestFit);
}

void frmSplf::chkPrtCtl_Click() {
    const bool on = chkPrtCtl->isChecked();
    setOwnEnabled({cboPageLength, lblPageLength, chkOverprinting}, !on);
    setOwnEnabled({optPrtCtlFormat[0], optPrtCtlFormat[1]}, on);
}

void frmSplf::chkAutoSend_Click() {
    const bool on = chkAutoSend->isChecked();
    chkAttachMultiples->setEnabled(!on);
    cmdAutoOptions->setEnabled(on);
}

void frmSplf::optEmail_Click(int index) {
    const bool attach = index == 1;
    setOwnEnabled({optTextOrPDF[0], optTextOrPDF[1], chkAutoSend, cmdAutoOptions}, attach);
    chkAttachMultiples->setEnabled(attach && !chkAutoSend->isChecked());
}

void frmSplf::cmdAutoOptions_Click() {
    ShowAutoSendOptions(ctx_);
}

void frmSplf::cmdPrinter_Click() {
    ShowPrinterFormat(ctx_);
}

void frmSplf::mnuOptions_Click() {
    setMousePointer(MousePointer::Hourglass);
    const QString fullName = ctx_.services.getSetting(Setting::FullName);
    setMousePointer(MousePointer::Normal);
    ctx_.runWindows().showNamingOptions(fullName);
}

void frmSplf::itmRefresh_Click() {
    frmMain& m = ctx_.mainWindow();
    const QString outq = m.txtOutq->text();
    const QString library = m.cboLibrary->currentText();
    const QString user = m.txtWrkSplf->text();
    GetSpoolFiles(ctx_, outq, library, user);
    setMousePointer(MousePointer::Normal);
    setCaption(QStringLiteral("iSeries Spool Files - ") + library.trimmed() + QLatin1Char('/') + outq +
               QLatin1Char('/') + user);
}

void frmSplf::itmExit_Click() { cmdCancel_Click(); }
void frmSplf::itmContents_Click() { ctx_.mainWindow().itmGeneralHelp_Click(); }
void frmSplf::itmAbout_Click() { ctx_.mainWindow().itmAbout_Click(); }
void frmSplf::grdSplf_DblClick() { cmdOK_Click(); }
void frmSplf::cmdOK_Click() { RunSelectedDownloads(ctx_); }

bool frmSplf::downloadRunning() const { return cmdCancel->text() == QLatin1String("&Cancel"); }

void frmSplf::cmdCancel_Click() { CancelSelectedDownloads(ctx_); }

// Closing the window from its frame unloads the screen. While a download runs
// it only asks the download to stop: the running transfer still uses the screen.
void frmSplf::closeEvent(QCloseEvent* e) {
    if (downloadRunning()) {
        if (cmdCancel->isEnabled()) cmdCancel_Click();
        e->ignore();
        return;
    }
    Form_Unload();
    e->accept();
    if (ctx_.splfScreen.obj.get() == static_cast<SplfScreenApi*>(this)) {
        ctx_.splfScreen.obj.release();
        deleteLater();
    }
}

void frmSplf::reject() { cmdCancel_Click(); }

// "&Close" and Escape only hide the screen, but the options are remembered as
// at any close: the next start and the unattended run read them.
void frmSplf::hideScreen() {
    Form_Unload();
    hide();
}

// --- SplfScreenApi ---

void frmSplf::setStatus(const QString& text) {
    sbSplfPanel1->setText(text);
    Refresh();
}

QString frmSplf::status() const { return sbSplfPanel1->text(); }
void frmSplf::setCaption(const QString& text) { setWindowTitle(text); }
QString frmSplf::caption() const { return windowTitle(); }
SplfGrid& frmSplf::grdSplf() { return *grid_; }
void frmSplf::showModal() { showModalWindow(ctx_, this); }
void frmSplf::Refresh() { repaint(); }

void frmSplf::giveFocus() {
    activateWindow();
    setFocus();
}

// A name the window does not have is a fault of its caller, never a value of
// 0 or "" that a misspelling would hide.
QWidget* frmSplf::control(const QString& name) const {
    if (name == objectName()) return const_cast<frmSplf*>(this);
    if (QWidget* w = findChild<QWidget*>(name)) return w;
    throw std::logic_error("The spooled-file screen has no control " + name.toStdString() + ".");
}

QString frmSplf::text(const QString& name) const {
    QWidget* w = control(name);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* f = qobject_cast<QGroupBox*>(w)) return f->title();
    if (w == this) return windowTitle();
    return QString();
}

void frmSplf::setText(const QString& name, const QString& value) {
    QWidget* w = control(name);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(value);
    else if (auto* c = qobject_cast<QComboBox*>(w)) c->setEditText(value);
    else if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(value);
    else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(value);
    else if (auto* f = qobject_cast<QGroupBox*>(w)) f->setTitle(value);
    else if (w == this) setWindowTitle(value);
}

int frmSplf::value(const QString& name) const {
    const auto array = arrays_.constFind(name);
    if (array != arrays_.constEnd()) {
        for (size_t i = 0; i < array->size(); ++i)
            if ((*array)[i]->isChecked()) return static_cast<int>(i);
        return -1;
    }
    QWidget* w = control(name);
    if (auto* c = qobject_cast<QCheckBox*>(w)) return static_cast<int>(c->checkState() == Qt::Checked ? 1
                                                                      : c->checkState() == Qt::PartiallyChecked ? 2
                                                                                                                : 0);
    if (auto* r = qobject_cast<QRadioButton*>(w)) return r->isChecked() ? 1 : 0;
    return 0;
}

void frmSplf::setValue(const QString& name, int value) {
    const auto array = arrays_.constFind(name);
    if (array != arrays_.constEnd()) {
        if (value >= 0 && value < static_cast<int>(array->size())) setButton((*array)[static_cast<size_t>(value)], true);
        return;
    }
    QWidget* w = control(name);
    if (auto* c = qobject_cast<QCheckBox*>(w)) {
        if (value == 2) c->setTristate(true);
        c->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
        setButton(r, value != 0);
    }
}

namespace {
// The controls behind SplfScreenApi's names, in the order of its enums.
const char* const kTextControls[] = {"cboProcessType", "cboTranslation", "txtFrom",      "txtTo",
                                     "cboPageLength",  "cboFontSizeHTML", "cboFontSize", "cboPaperSize",
                                     "cboVertSize",    "txtTabs",        "txtTabs2",     "txtLink"};
const char* const kCheckControls[] = {"chkBlankLines", "chkOverprinting",    "chkORMinusSign",
                                      "chkPrtCtl",     "chkAutoSend",        "chkAttachMultiples",
                                      "chkMacro",      "chkRunSilent",       "chkAutoformat"};
struct ChoiceButtons {
    const char* array;
    int first, count;
};
const ChoiceButtons kChoices[] = {{"optPrtCtlFormat", 0, 2}, {"optPageOrientation", 0, 2}, {"optTextOrPDF", 0, 2},
                                  {"optEmail", 0, 2},        {"optParse", 0, 3},           {"optAddReplace", 0, 2},
                                  {"optAddReplace", 2, 2}};
const char* const kControls[] = {"cmdOK",    "cmdCancel", "cmdPrinter", "txtFrom",    "txtTo",  "fraFormatting",
                                 "fraMacro", "fraParse",  "fraEmail",   "fraRange",   "fraPrinter", "fraHTML",
                                 "fraPDF",   "fraGrd",    "cboProcessType", "chkAttachMultiples"};

template <size_t N, class E>
QString nameOf(const char* const (&names)[N], E e) {
    return QString::fromLatin1(names[static_cast<size_t>(e)]);
}
const ChoiceButtons& buttonsOf(ScreenChoice group) { return kChoices[static_cast<size_t>(group)]; }
QString buttonName(ScreenChoice group, int button) {
    const ChoiceButtons& b = buttonsOf(group);
    return QStringLiteral("%1_%2").arg(QString::fromLatin1(b.array)).arg(b.first + button);
}
}  // namespace

QString frmSplf::text(ScreenText control) const { return text(nameOf(kTextControls, control)); }
void frmSplf::setText(ScreenText control, const QString& value) { setText(nameOf(kTextControls, control), value); }
int frmSplf::check(ScreenCheck control) const { return value(nameOf(kCheckControls, control)); }
void frmSplf::setCheck(ScreenCheck control, int value) { setValue(nameOf(kCheckControls, control), value); }

int frmSplf::chosen(ScreenChoice group) const {
    for (int i = 0; i < buttonsOf(group).count; ++i)
        if (isChosen(group, i)) return i;
    return -1;
}

bool frmSplf::isChosen(ScreenChoice group, int button) const {
    return button >= 0 && button < buttonsOf(group).count && value(buttonName(group, button)) == 1;
}

void frmSplf::setChosen(ScreenChoice group, int button, bool on) {
    if (button >= 0 && button < buttonsOf(group).count) setValue(buttonName(group, button), on ? 1 : 0);
}

void frmSplf::setControlEnabled(ScreenControl control, bool on) {
    setOwnEnabled({this->control(nameOf(kControls, control))}, on);
}

bool frmSplf::controlEnabled(ScreenControl control) const { return enabled(nameOf(kControls, control)); }
QString frmSplf::cancelCaption() const { return cmdCancel->text(); }
void frmSplf::setCancelCaption(const QString& caption) { cmdCancel->setText(caption); }

void frmSplf::linkBusy(bool busy) { hostCommands_.set(busy, {itmRefresh, cmdOK, fraGrd}); }

bool frmSplf::enabled(const QString& name) const {
    const QWidget* w = control(name);
    return w && ownEnabled(w);
}

bool frmSplf::visible(const QString& name) const {
    const QWidget* w = control(name);
    return w && !w->isHidden();
}
