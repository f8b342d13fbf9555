#include "frmOutq.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "AppContext.h"
#include "frmMain.h"

namespace {
constexpr int kTwipsPerPixel = 15;
const QString kKeyOrBrowse = QStringLiteral("Key an iSeries outq name or Browse...");
}  // namespace

frmOutq::frmOutq(AppContext& ctx) : ctx_(ctx) {
    setObjectName(QStringLiteral("frmOutq"));
    setWindowTitle(QStringLiteral("iSeries Outqs"));
    setModal(true);

    lstOutq = new QListWidget(this);
    lstOutq->setObjectName(QStringLiteral("lstOutq"));
    QFont fixed(QStringLiteral("Courier New"), 9);
    fixed.setStyleHint(QFont::TypeWriter);
    lstOutq->setFont(fixed);
    // The headings stand over the columns of the rows (queue and library 10
    // characters and a blank each): the rows' font, indented as far as the
    // list's frame and its items' text margin.
    Label1 = new QLabel(QStringLiteral("Outq").leftJustified(11) + QStringLiteral("Library").leftJustified(11) +
                            QStringLiteral("Description"),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(fixed);
    Label1->setIndent(lstOutq->frameWidth() +
                      lstOutq->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lstOutq) + 1);
    cmdOpen = new QPushButton(QStringLiteral("&Open"), this);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdOpen->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOpen);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(lstOutq, 1);
    layout->addLayout(buttons);

    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(lstOutq, &QListWidget::itemDoubleClicked, this, [this] { lstOutq_DblClick(); });
    Form_Load();
}

frmOutq::~frmOutq() = default;

void frmOutq::Form_Load() {
    const QSize size(7290 / kTwipsPerPixel, 4230 / kTwipsPerPixel);
    resize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->geometry();
        move((r.width() - size.width()) / 2, (r.height() - size.height()) / 2);
    }
}

void frmOutq::cmdOpen_Click() {
    const QList<QListWidgetItem*> chosen = lstOutq->selectedItems();
    const QString row = chosen.isEmpty() ? QString() : chosen.first()->text();
    frmMain& m = ctx_.mainWindow();
    if (!row.trimmed().isEmpty()) {
        m.txtOutq->setText(row.left(10).toUpper());
        m.cboLibrary->setEditText(row.mid(11, 10).trimmed().toUpper());
        m.Refresh();
        unload();
    } else {
        ctx_.services.msgBox(QStringLiteral("An iSeries outq name must be specified."), MsgButtons::OK, MsgIcon::Exclamation,
                    QStringLiteral("iSeries Outq Selection..."));
    }
    m.setStatusPanel(kKeyOrBrowse);
}

void frmOutq::cmdCancel_Click() {
    ctx_.connection.gNoOutqs = true;
    ctx_.mainWindow().setStatusPanel(kKeyOrBrowse);
    unload();
}

void frmOutq::lstOutq_DblClick() { cmdOpen_Click(); }

void frmOutq::unload() {
    unloadRequested_ = true;
    hide();
}

// The close box chooses nothing, as Cancel does: it must not open the
// previous selection behind the user's back.
void frmOutq::closeEvent(QCloseEvent* e) {
    if (!unloadRequested_) cmdCancel_Click();
    e->accept();
}

void frmOutq::reject() { cmdCancel_Click(); }
