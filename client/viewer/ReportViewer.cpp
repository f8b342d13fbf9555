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

#include "AppContext.h"
#include "Codec.h"
#include "SpoolFileRow.h"
#include "WindowGeometry.h"
#include "frmMain.h"

namespace {
bool isSet(const QString& v) { return v != QLatin1String("None") && !v.trimmed().isEmpty(); }
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

QString ReportViewer::headingText(bool allQueues) {
    return allQueues ? QStringLiteral("Spool File       User             OutQ         Pages   Form            Date       "
                                      "     Time         Job#      Job/Seq#")
                     : QStringLiteral("Spool File       User           User Data  Pages  Form          Date            "
                                      "Time           Job#      Job/Seq#");
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

void ReportViewer::setEntry(const SpoolFileRow& row) { lblEntry->setText(Codec::toUnicode(row.text())); }

void ReportViewer::loadWindow() {
    const QString state = ctx_.getSetting(QString::fromLatin1(keys_.windowState));
    const QString matchCase = ctx_.getSetting(QString::fromLatin1(keys_.matchCase));
    const QString search = ctx_.getSetting(QString::fromLatin1(keys_.searchString));
    if (isSet(state)) {
        const int n = state.trimmed().toInt();
        setWindowState(n == 1 ? Qt::WindowMinimized : n == 2 ? Qt::WindowMaximized : Qt::WindowNoState);
    }
    if (isSet(matchCase)) chkMatchCase->setChecked(matchCase.trimmed().toInt() != 0);
    if (isSet(search)) txtFindWhat->setText(search);
    if (stateNumber(windowState()) == 0) {
        if (place_.height() != 0)
            setGeometry(place_);
        else
            WindowGeometry::sizeAndCentre(this, 9585, 6675);
    }
    const bool allQueues =
        ctx_.mainWindowLoaded() && ctx_.mainWindow().txtOutq->text() == QLatin1String("*ALL");
    setHeading(headingText(allQueues));
}

// The heading's runs of blanks line up with the columns only in a narrow
// sans font; where the system's is wider, a smaller size keeps the whole
// heading (its last columns) inside the heading's 9375 twips.
void ReportViewer::setHeading(const QString& caption) {
    QFont bold = font();
    bold.setBold(true);
    const QMargins m = layout()->contentsMargins();
    const int room = std::min(WindowGeometry::pixels(9375), width() - m.left() - m.right());
    for (qreal points = 8.25; points >= 6.0; points -= 0.25) {
        bold.setPointSizeF(points);
        if (QFontMetrics(bold).horizontalAdvance(caption) <= room) break;
    }
    heading->setFont(bold);
    heading->setText(caption);
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
        if (remember && !ctx_.gSettingsFromFile) {
            ctx_.saveSetting(QString::fromLatin1(keys_.searchString), txtFindWhat->text().trimmed());
            ctx_.saveSetting(QString::fromLatin1(keys_.matchCase), chkMatchCase->isChecked() ? QStringLiteral("1")
                                                                                            : QStringLiteral("0"));
            ctx_.saveSetting(QString::fromLatin1(keys_.windowState), QString::number(stateNumber(windowState())));
        }
        if (stateNumber(windowState()) == 0) place_ = geometry();
    }
    hide();
}

void ReportViewer::closeEvent(QCloseEvent* e) {
    unload();
    e->accept();
}
