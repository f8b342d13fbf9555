#include "frmAbout.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "AppContext.h"
#include "Artwork.h"
#include "NamedLabel.h"
#include "WindowGeometry.h"

namespace {
const char* const kMsinfoKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char* const kMsinfoFolderKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location";
}  // namespace

frmAbout::frmAbout(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About The iSeries Spool File Spoolwright"));

    picIcon = namedLabel(this, "picIcon", QString());
    picIcon->setPixmap(Artwork::logo(48));
    lblTitle = namedLabel(this, "lblTitle", QStringLiteral("iSeries Spoolwright"));
    QFont big = lblTitle->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = namedLabel(this, "lblVersion", QStringLiteral("Version"));
    lblDescription = namedLabel(this, "lblDescription", QStringLiteral("Tolvane"));
    lblWhatItDoes =
        namedLabel(this, "lblWhatItDoes",
                   QStringLiteral("Move iSeries spool files to PC text files to PDF files, "
                                  "to your PC printer, to MS Word, to MS "
                                  "Excel, Lotus 1-2-3, WordPro, Email, HTML files or to the "
                                  "clipboard!   Optionally you may run "
                                  "Excel's parsing wizard or a stored Word or Excel macro "
                                  "over the downloaded spool file data."));
    lblWhatItDoes->setWordWrap(true);
    Label1 = namedLabel(this, "Label1", QStringLiteral("www.tolvane.example"));
    lblDisclaimer = namedLabel(this, "lblDisclaimer", QStringLiteral("Tolvane  (555) 010-4477"));
    for (size_t i = 0; i < Line1.size(); ++i) {
        Line1[i] = new QFrame(this);
        Line1[i]->setObjectName(QStringLiteral("Line1_%1").arg(i));
        Line1[i]->setFrameShape(QFrame::HLine);
        Line1[i]->setFrameShadow(QFrame::Sunken);
    }
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    auto* head = new QVBoxLayout;
    head->addWidget(lblTitle);
    head->addWidget(lblVersion);
    head->addWidget(lblDescription);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(head, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto* foot = new QHBoxLayout;
    auto* contact = new QVBoxLayout;
    contact->addWidget(Label1);
    contact->addWidget(lblDisclaimer);
    foot->addLayout(contact, 1);
    foot->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Line1[0]);
    layout->addWidget(lblWhatItDoes);
    layout->addWidget(Line1[1]);
    layout->addLayout(foot);
    setMinimumWidth(WindowGeometry::pixels(6300));

    connect(cmdOK, &QPushButton::clicked, this,
            [this] { ctx_.services.runHandler([this] { cmdOK_Click(); }); });
    connect(cmdSysInfo, &QPushButton::clicked, this,
            [this] { ctx_.services.runHandler([this] { cmdSysInfo_Click(); }); });
}

frmAbout::~frmAbout() = default;

void frmAbout::Form_Load() {
    lblVersion->setText(ctx_.services.version.text());
    adjustSize();
    WindowGeometry::centre(this);
}

void frmAbout::cmdOK_Click() { ctx_.unloadAboutWindow(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo() {
    QString program;
    if (ctx_.services.machineRegistry) {
        if (auto path = ctx_.services.machineRegistry->query(QString::fromLatin1(kMsinfoKey),
                                                    QStringLiteral("PATH"))) {
            program = *path;
        } else if (auto folder = ctx_.services.machineRegistry->query(QString::fromLatin1(kMsinfoFolderKey),
                                                             QStringLiteral("MSINFO"))) {
            const QString candidate = QDir(*folder).filePath(QStringLiteral("MSINFO32.EXE"));
            if (QFileInfo(candidate).isFile()) program = candidate;
        }
    }
    // A path to a missing program cannot be started: the same message as no program at all.
    if (!program.isEmpty() && QFileInfo(program).isFile() && ctx_.services.processes &&
        ctx_.services.processes->start(program, {}))
        return;
    ctx_.services.msgBox(QStringLiteral("System Information Is Unavailable At This Time"), MsgButtons::OK,
                MsgIcon::None, QString::fromLatin1(Services::kAppTitle));
}

void frmAbout::reject() {
    ctx_.services.runHandler([this] { cmdOK_Click(); });
}

void frmAbout::closeEvent(QCloseEvent* e) {
    e->ignore();
    ctx_.services.runHandler([this] { cmdOK_Click(); });
}
