#include "frmMain.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QValidator>

#include "HostInstall.h"
#include "Layout.h"
#include "Migration.h"
#include "MousePointer.h"

namespace hostprep {
namespace {
const QString kTolvane = QStringLiteral("Tolvane");

bool allowedInAddress(int code) { return (code >= '0' && code <= '9') || code == '.' || code == 8; }

// Text that arrives without a key press (paste, drop) keeps only the
// characters the key filter lets through; the rest are dropped with a beep.
class AddressCharacters : public QValidator {
public:
    AddressCharacters(std::function<void()> beep, QObject* parent) : QValidator(parent), beep_(std::move(beep)) {}
    State validate(QString& input, int& pos) const override {
        QString kept;
        int keptBeforePos = 0;
        for (int i = 0; i < input.size(); ++i) {
            const int code = input[i].unicode();
            if (code == 8 || !allowedInAddress(code)) continue;
            kept += input[i];
            if (i < pos) ++keptBeforePos;
        }
        if (kept.size() != input.size()) {
            input = kept;
            pos = keptBeforePos;
            if (beep_) beep_();
        }
        return Acceptable;
    }

private:
    std::function<void()> beep_;
};
}  // namespace

frmMain::frmMain(HostprepContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("iSeries Spoolwright - iSeries Installation"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    useDesignFont(this);
    setFixedSize(px(7545), px(5925));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(banner());
    Image1->setAlignment(Qt::AlignCenter);
    place(Image1, 900, 120, 5820, 1890);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setFrameShadow(QFrame::Sunken);
    place(Frame1, 120, 2040, 7335, 3015);

    Label1 = new QLabel(
        QStringLiteral("Please note:  You must specify either your iSeries IP address or host name.  An IP address must "
                       "be in the form \"nnn.nnn.nnn.nnn\".  Use iSeries command \"WRKTCPCFG *IFC\" to determine the "
                       "proper iSeries IP address for your connection."),
        Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(Label1, 240, 420, 6975, 735);
    Label2 = new QLabel(QStringLiteral("iSeries IP address:"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    place(Label2, 120, 1605, 1395, 255);
    txtIPAddress = new QLineEdit(Frame1);
    txtIPAddress->setObjectName(QStringLiteral("txtIPAddress"));
    place(txtIPAddress, 1560, 1560, 1815, 285);
    Label3 = new QLabel(QStringLiteral("--  OR --"), Frame1);
    Label3->setObjectName(QStringLiteral("Label3"));
    place(Label3, 480, 2040, 1000, 255);  // wider than designed: today's font is wider
    Label4 = new QLabel(QStringLiteral("iSeries host name:"), Frame1);
    Label4->setObjectName(QStringLiteral("Label4"));
    place(Label4, 120, 2430, 1395, 255);
    txtHostName = new QLineEdit(Frame1);
    txtHostName->setObjectName(QStringLiteral("txtHostName"));
    place(txtHostName, 1560, 2400, 3855, 285);
    Label2->setBuddy(txtIPAddress);
    Label4->setBuddy(txtHostName);

    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setWordWrap(true);
    lblInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(lblInfo, 180, 5160, 4635, 615);
    Command2 = new QPushButton(QStringLiteral("Install"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setDefault(true);
    place(Command2, 6360, 5160, 1095, 315);
    Command1 = new QPushButton(QStringLiteral("Exit"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    place(Command1, 6360, 5520, 1095, 315);

    setTabOrder(txtIPAddress, txtHostName);
    setTabOrder(txtHostName, Command2);
    setTabOrder(Command2, Command1);

    txtIPAddress->installEventFilter(this);
    txtIPAddress->setValidator(new AddressCharacters([this] { if (ctx_.beep) ctx_.beep(); }, txtIPAddress));
    connect(Command2, &QPushButton::clicked, this, [this] { ctx_.runHandler([this] { Command2_Click(); }); });
    connect(Command1, &QPushButton::clicked, this, [this] {
        if (!installing_) ctx_.runHandler([this] { Command1_Click(); });
    });
}

frmMain::~frmMain() = default;

QPixmap frmMain::banner() {
    QPixmap pm(384, 122);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 384, 122);
    sky.setColorAt(0, QColor(18, 52, 110));
    sky.setColorAt(1, QColor(60, 120, 190));
    p.fillRect(pm.rect(), sky);
    // A host tower sending a package down to the PC.
    p.setPen(QPen(QColor(200, 210, 225), 1));
    p.setBrush(QColor(40, 44, 52));
    p.drawRoundedRect(QRectF(22, 16, 46, 90), 3, 3);
    p.setBrush(QColor(90, 200, 110));
    for (int i = 0; i < 4; ++i) p.drawRect(QRectF(30, 26 + 12 * i, 30, 5));
    p.setPen(QPen(QColor(250, 200, 60), 3));
    p.drawLine(QPointF(76, 61), QPointF(106, 61));
    p.drawLine(QPointF(98, 53), QPointF(106, 61));
    p.drawLine(QPointF(98, 69), QPointF(106, 61));
    p.setPen(Qt::white);
    QFont title(QStringLiteral("Sans"));
    title.setPixelSize(22);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(118, 18, 260, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("iSeries Spoolwright"));
    QFont sub(QStringLiteral("Sans"));
    sub.setPixelSize(14);
    p.setFont(sub);
    p.drawText(QRectF(120, 62, 260, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Host installation"));
    p.setPen(QColor(190, 205, 230));
    p.drawText(QRectF(120, 86, 260, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tolvane"));
    return pm;
}

void frmMain::Form_Load() {
    // A script left by an older installer in this program's folder; ours
    // never writes one. Nothing elsewhere is touched.
    const QString leftover = QDir(ctx_.paths->appPath()).filePath(QStringLiteral("u110149.dat"));
    const QFileInfo fi(leftover);
    if (fi.isFile() && !fi.isSymLink()) QFile::remove(leftover);

    MigrateOldVersion(ctx_);

    if (ctx_.msgBox(QStringLiteral("Please note:  Before you can use the utility you must run the iSeries portion of the "
                                   "installation (just once per iSeries.) Do you want to start the iSeries installation "
                                   "program?"),
                    MsgButtons::YesNo, MsgIcon::None,
                    QStringLiteral("Tolvane iSeries Spoolwright - iSeries Program Installation.")) == vbNo)
        ctx_.endProgram(kExitOk, QStringLiteral("Installation declined"));
    if (ctx_.msgBox(QStringLiteral("The iSeries portion of the Spoolwright setup should be run by the security officer "
                                   "(QSECOFR)."),
                    MsgButtons::OKCancel, MsgIcon::None, QStringLiteral("Tolvane - iSeries Spoolwright")) == vbCancel)
        ctx_.endProgram(kExitOk, QStringLiteral("Installation declined"));
    centreOnScreen(this);
}

void frmMain::txtIPAddress_KeyPress(int& keyAscii) {
    if (allowedInAddress(keyAscii)) return;
    keyAscii = 0;
    if (ctx_.beep) ctx_.beep();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtIPAddress && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Keys that move the focus or press a button, and editing shortcuts
        // (a paste is filtered by the validator), are no typed characters.
        const bool navigation = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
                                key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                                key->key() == Qt::Key_Escape;
        const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier);
        if (!navigation && !shortcut && !key->text().isEmpty()) {
            int code = key->text().at(0).unicode();
            txtIPAddress_KeyPress(code);
            if (code == 0) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmMain::Command2_Click() {
    if (installing_) return;
    txtIPAddress->setText(txtIPAddress->text().trimmed());
    txtHostName->setText(txtHostName->text().trimmed());
    const bool ip = !txtIPAddress->text().isEmpty();
    const bool name = !txtHostName->text().isEmpty();
    if (ip == name) {
        const QString text = ip ? QStringLiteral("Please enter only one: Either an IP address or host name.")
                                : QStringLiteral("Please enter either an IP address or host name.");
        if (ctx_.msgBox(text, MsgButtons::OKCancel, MsgIcon::None, kTolvane) == vbCancel)
            ctx_.endProgram(kExitOk, QStringLiteral("Installation declined"));
        return;
    }
    const QString host = ip ? txtIPAddress->text() : txtHostName->text();
    const QString refused = InstallScript::hostRefusal(host);
    if (!refused.isEmpty()) {
        ctx_.msgBox(refused, MsgButtons::OK, MsgIcon::Exclamation, kTolvane);
        (ip ? txtIPAddress : txtHostName)->setFocus();
        return;
    }
    ctx_.gHost = host;
    ctx_.gSaveFileName = QString::fromLatin1(InstallScript::kSaveFileName);

    // A second Install while this one runs does nothing.
    // Nor does leaving the window: the run is bounded, and ending halfway
    // would leave the host's server ended without saying so.
    installing_ = true;
    Command2->setEnabled(false);
    Command1->setEnabled(false);
    const InstallResult result = RunHostInstall(ctx_, ctx_.gHost);
    installing_ = false;
    ctx_.msgBox(result.message, MsgButtons::OK, result.outcome.succeeded ? MsgIcon::Information : MsgIcon::Critical,
                kTolvane);
    Command1_Click(result.outcome.succeeded ? kExitOk : kExitInstallFailed);
}

void frmMain::Command1_Click(int status) {
    setMousePointer(MousePointer::Normal);
    showMinimized();
    ctx_.endProgram(status, QStringLiteral("Exit"));
}

void frmMain::reject() {
    if (!installing_) ctx_.runHandler([this] { Command1_Click(); });
}

void frmMain::closeEvent(QCloseEvent* e) {
    if (installing_) {
        e->ignore();
        return;
    }
    e->accept();
    ctx_.runHandler([this] { Command1_Click(); });
}

}  // namespace hostprep
