#include "ReportViewer.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <functional>

#include "AppContext.h"
#include "Codec.h"
#include "SettingValues.h"
#include "SpoolFileRow.h"
#include "WindowGeometry.h"
#include "frmMain.h"

namespace {
QFont courier(qreal points) {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPointSizeF(points);
    return f;
}
int stateNumber(Qt::WindowStates s) {
    if (s & Qt::WindowMinimized) return 1;
    if (s & Qt::WindowMaximized) return 2;
    return 0;
}
}  // namespace

namespace {
// A field of the spooled-file row (0-based column, width) under its heading
// label. The entry line shows the fields the heading names, in its order, each
// as wide as the wider of label and field and two blanks apart, so that in one
// fixed-pitch font every label stands over its field.
struct Column {
    const char* label;
    int from, width;
    bool right;  // the pages stand right-aligned under their label
};
constexpr Column kFile{"Spool File", 0, 10, false}, kUser{"User", 11, 10, false}, kOutq{"OutQ", 22, 10, false},
    kPages{"Pages", 32, 5, true}, kForm{"Form", 37, 10, false}, kDate{"Date", 47, 10, false},
    kTime{"Time", 58, 8, false}, kJobNumber{"Job#", 67, 6, false}, kJob{"Job/Seq#", 74, 17, false},
    kUserData{"User Data", 92, 10, false};
constexpr int kGap = 2;

// A named queue's rows all carry that queue, so its heading names the user
// data in the third place; with *ALL the third is the output queue.
std::array<Column, 9> columnsOf(bool allQueues) {
    return {kFile, kUser, allQueues ? kOutq : kUserData, kPages, kForm, kDate, kTime, kJobNumber, kJob};
}

QString laidOut(bool allQueues, const std::function<QString(const Column&)>& cell) {
    const std::array<Column, 9> columns = columnsOf(allQueues);
    QString out;
    for (size_t i = 0; i < columns.size(); ++i) {
        const Column& c = columns[i];
        const int width = std::max(c.width, static_cast<int>(qstrlen(c.label)));
        const QString text = cell(c).left(width);
        if (i > 0) out += QString(kGap, QLatin1Char(' '));
        out += c.right ? text.rightJustified(width) : text.leftJustified(width);
    }
    return out.trimmed();
}
}  // namespace

QString ReportViewer::headingText(bool allQueues) {
    return laidOut(allQueues, [](const Column& c) { return QString::fromLatin1(c.label); });
}

QString ReportViewer::entryText(const SpoolFileRow& row, bool allQueues) {
    const QString text = Codec::toUnicode(row.text());
    return laidOut(allQueues, [&text](const Column& c) { return text.mid(c.from, c.width).trimmed(); });
}

ReportViewer::ReportViewer(AppContext& ctx, const Keys& keys, QRect& rememberedPlace, int minWidthTwips)
    : ctx_(ctx), keys_(keys), place_(rememberedPlace) {
    setModal(true);
    setSizeGripEnabled(true);
    setMinimumSize(WindowGeometry::pixels(minWidthTwips), WindowGeometry::pixels(2500));
    auto* top = new QVBoxLayout(this);
    menu = new QMenuBar(this);
    top->setMenuBar(menu);
    heading = new QLabel(this);
    lblEntry = new QLabel(this);
    lblEntry->setObjectName(QStringLiteral("lblEntry"));
    lblEntry->setFont(courier(8.25));
    // Their fonts follow the window's width (fitHeading); their text never
    // makes the window wider.
    for (QLabel* l : {heading, lblEntry}) l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    text = new QPlainTextEdit(this);
    text->setReadOnly(true);
    text->setUndoRedoEnabled(false);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(courier(8.25));
    // Read-only still lets the user select with the keyboard and copy.
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    cmdFindNext = new QPushButton(this);
    cmdFindNext->setObjectName(QStringLiteral("cmdFindNext"));
    cmdFindNext->setEnabled(false);
    txtFindWhat = new QLineEdit(this);
    txtFindWhat->setObjectName(QStringLiteral("txtFindWhat"));
    txtFindWhat->setFixedWidth(WindowGeometry::pixels(3975));
    chkMatchCase = new QCheckBox(QStringLiteral("Match Case"), this);
    chkMatchCase->setObjectName(QStringLiteral("chkMatchCase"));
    cmdClose = new QPushButton(this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    top->addWidget(heading);
    top->addWidget(lblEntry);
    top->addWidget(text, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(cmdFindNext);
    row->addWidget(txtFindWhat);
    row->addWidget(chkMatchCase);
    row->addStretch();
    row->addWidget(cmdClose);
    top->addLayout(row);
    connect(txtFindWhat, &QLineEdit::textChanged, this, [this] { searchTextChanged(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { unload(); });
}

void ReportViewer::setEntry(const SpoolFileRow& row) {
    lblEntry->setText(entryText(row, allQueues_));
    fitHeading();
}

void ReportViewer::loadWindow() {
    const QString state = ctx_.services.getSetting(keys_.windowState);
    const QString matchCase = ctx_.services.getSetting(keys_.matchCase);
    const QString search = ctx_.services.getSetting(keys_.searchString);
    if (HasValue(state)) {
        const int n = state.trimmed().toInt();
        setWindowState(n == 1 ? Qt::WindowMinimized : n == 2 ? Qt::WindowMaximized : Qt::WindowNoState);
    }
    if (HasValue(matchCase)) chkMatchCase->setChecked(matchCase.trimmed().toInt() != 0);
    if (HasValue(search)) txtFindWhat->setText(search);
    if (stateNumber(windowState()) == 0) {
        if (place_.height() != 0)
            setGeometry(place_);
        else
            WindowGeometry::sizeAndCentre(this, 9585, 6675);
    }
    allQueues_ = ctx_.mainWindowLoaded() && ctx_.mainWindow().txtOutq->text() == QLatin1String("*ALL");
    heading->setText(headingText(allQueues_));
    fitHeading();
}

// Heading and entry share one fixed-pitch size, the largest from 8.25 points
// down at which both lines fit the window's width, so that the labels stay
// over their fields and the last field is not cut, however wide the window.
void ReportViewer::fitHeading() {
    const QMargins m = layout()->contentsMargins();
    const int room = width() - m.left() - m.right();
    QFont bold = courier(8.25), plain = courier(8.25);
    bold.setBold(true);
    for (qreal points = 8.25; points >= 4.0; points -= 0.25) {
        bold.setPointSizeF(points);
        plain.setPointSizeF(points);
        if (QFontMetrics(bold).horizontalAdvance(heading->text()) <= room &&
            QFontMetrics(plain).horizontalAdvance(lblEntry->text()) <= room)
            break;
    }
    heading->setFont(bold);
    lblEntry->setFont(plain);
}

void ReportViewer::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    fitHeading();
}

void ReportViewer::searchTextChanged() {
    const bool any = !txtFindWhat->text().trimmed().isEmpty();
    cmdFindNext->setEnabled(any);
    cmdFindNext->setDefault(any);
    cmdClose->setDefault(!any);
}

void ReportViewer::copySelection() {
    QString selected = text->textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(selected);
}

void ReportViewer::unload() {
    if (!unloaded_) {
        unloaded_ = true;
        const bool remember = ctx_.mainWindowLoaded() && ctx_.mainWindow().itmSaveSettings->isChecked();
        if (remember && !ctx_.download.gSettingsFromFile) {
            ctx_.services.saveSetting(keys_.searchString, txtFindWhat->text().trimmed());
            ctx_.services.saveSetting(keys_.matchCase, chkMatchCase->isChecked() ? QStringLiteral("1")
                                                                                            : QStringLiteral("0"));
            ctx_.services.saveSetting(keys_.windowState, QString::number(stateNumber(windowState())));
        }
        if (stateNumber(windowState()) == 0) place_ = geometry();
    }
    hide();
}

void ReportViewer::closeEvent(QCloseEvent* e) {
    unload();
    e->accept();
}
