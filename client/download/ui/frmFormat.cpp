#include "frmFormat.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "AppContext.h"
#include "DownloadOptions.h"
#include "DownloadWindows.h"
#include "SettingValues.h"
#include "WorkDirectory.h"

namespace {
std::optional<int> numberOf(const QString& s) {
    bool ok = false;
    const int n = s.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}
const SettingKey kOptionKeys[] = {Setting::UseJobName,  Setting::UseJobNumber,   Setting::UseUserName,
                                  Setting::UseFileName, Setting::UseDateAndTime, Setting::UseUserData};
}  // namespace

FolderList::FolderList(QWidget* parent) : list_(new QListWidget(parent)) {
    list_->setObjectName(QStringLiteral("dirSavePath"));
    path_ = QDir::currentPath();
    QObject::connect(list_, &QListWidget::itemActivated, list_, [this](QListWidgetItem* item) {
        const QString target = item->text() == QLatin1String("..") ? QDir(path_).absoluteFilePath(QStringLiteral(".."))
                                                                    : QDir(path_).absoluteFilePath(item->text());
        setPath(target);
    });
    setPath(path_);
}

bool FolderList::setPath(const QString& path) {
    const QDir dir(path);
    if (path.isEmpty() || !dir.exists()) return false;
    path_ = QDir::toNativeSeparators(dir.absolutePath());
    list_->clear();
    if (!dir.isRoot()) list_->addItem(QStringLiteral(".."));
    list_->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name));
    if (onChange) onChange();
    return true;
}

frmFormat::frmFormat(AppContext& ctx) : ctx_(ctx) {
    setObjectName(QStringLiteral("frmFormat"));
    setWindowTitle(QStringLiteral("Naming Options"));
    setModal(true);
    auto* top = new QVBoxLayout(this);
    Frame2 = new QGroupBox(QStringLiteral("Local PC file naming options: "), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    top->addWidget(Frame2);
    auto* g = new QGridLayout(Frame2);
    chkFullName = new QCheckBox(QStringLiteral("Generate PC file names using iSeries spool file attributes:"), Frame2);
    chkFullName->setObjectName(QStringLiteral("chkFullName"));
    chkFullName->setToolTip(
        QStringLiteral("Specify whether AS/400 spool file attributes are to be used for local PC file names."));
    Label3 = new QLabel(QStringLiteral("Generate the file name with this attribute placed first:"), Frame2);
    Label3->setObjectName(QStringLiteral("Label3"));
    g->addWidget(chkFullName, 0, 0, 1, 2);
    g->addWidget(Label3, 1, 0, 1, 2);
    optUseFileName = option("optUseFileName", QStringLiteral("Printer file name"));
    optUseJobName = option("optUseJobName", QStringLiteral("Job name"));
    optUseJobNumber = option("optUseJobNumber", QStringLiteral("Job number"));
    optUseUserName = option("optUseUserName", QStringLiteral("User name"));
    optUseDateandTime = option("optUseDateandTime", QStringLiteral("Date and time"));
    optUseUserData = option("optUseUserData", QStringLiteral("User data"));
    for (int i = 0; i < options_.size(); ++i) g->addWidget(options_[i], 2 + i / 2, i % 2);

    Label2 = new QLabel(QStringLiteral("Default directory for saving text, HTML and PDF files: "), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    txtSavePath = new QLineEdit(this);
    txtSavePath->setObjectName(QStringLiteral("txtSavePath"));
    Label1 = new QLabel(QStringLiteral("Change:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    drvSavePath = new QComboBox(this);
    drvSavePath->setObjectName(QStringLiteral("drvSavePath"));
    for (const QFileInfo& d : QDir::drives()) drvSavePath->addItem(QDir::toNativeSeparators(d.absolutePath()));
    folderList_ = std::make_unique<FolderList>(this);
    dirSavePath = folderList_.get();
    top->addWidget(Label2);
    top->addWidget(txtSavePath);
    top->addWidget(Label1);
    top->addWidget(drvSavePath);
    top->addWidget(dirSavePath->widget());
    auto* buttons = new QHBoxLayout;
    cmdApply = new QPushButton(QStringLiteral("Apply"), this);
    cmdApply->setObjectName(QStringLiteral("cmdApply"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    buttons->addStretch();
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdOK);
    top->addLayout(buttons);

    connect(chkFullName, &QCheckBox::stateChanged, this, [this] { chkFullName_Click(); });
    connect(drvSavePath, &QComboBox::currentTextChanged, this, [this] { drvSavePath_Change(); });
    dirSavePath->onChange = [this] { dirSavePath_Change(); };
    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    chkFullName_Click();
}

frmFormat::~frmFormat() = default;

QRadioButton* frmFormat::option(const char* name, const QString& caption) {
    auto* b = new QRadioButton(caption, Frame2);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoExclusive(false);
    connect(b, &QRadioButton::clicked, this, [this, b] { setOption(b, true); });
    options_ << b;
    return b;
}

void frmFormat::setOption(QRadioButton* button, bool selected) {
    if (selected)
        for (QRadioButton* other : options_)
            if (other != button) other->setChecked(false);
    button->setChecked(selected);
}

void frmFormat::Form_Load() {
    const QString fullName = ctx_.services.getSetting(Setting::FullName);
    const auto n = numberOf(fullName);
    chkFullName->setCheckState(!IsStored(fullName) || !n ? Qt::Checked
                               : *n == 0                              ? Qt::Unchecked
                               : *n == 2                              ? Qt::PartiallyChecked
                                                                      : Qt::Checked);
    const std::pair<SettingKey, QRadioButton*> loadOrder[] = {
        {Setting::UseFileName, optUseFileName},       {Setting::UseJobName, optUseJobName},
        {Setting::UseJobNumber, optUseJobNumber},     {Setting::UseDateAndTime, optUseDateandTime},
        {Setting::UseUserName, optUseUserName},       {Setting::UseUserData, optUseUserData}};
    for (const auto& [key, button] : loadOrder) {
        const auto value = TruthOf(ctx_.services.getSetting(key));
        setOption(button, value.value_or(true));
    }
    QString savePath = ctx_.services.getSetting(Setting::SavePath);
    if (!HasValue(savePath)) savePath = SystemTempFolder(ctx_.services);
    dirSavePath->setPath(savePath);
    txtSavePath->setText(dirSavePath->path());
}

void frmFormat::chkFullName_Click() {
    const bool on = chkFullName->checkState() != Qt::Unchecked;
    for (QRadioButton* b : options_) b->setEnabled(on);
    Label3->setEnabled(on);
}

void frmFormat::drvSavePath_Change() { dirSavePath->setPath(drvSavePath->currentText()); }

void frmFormat::dirSavePath_Change() { txtSavePath->setText(dirSavePath->path()); }

void frmFormat::clearRememberedNames() {
    for (const SettingKey& key : {Setting::TextFile, Setting::SaveFile, Setting::HtmlFile, Setting::PdfFile})
        ctx_.services.saveSetting(key, QString());
    SaveDialog(ctx_, frmSaveAs::Kind::Text).txtSave->clear();
}

bool frmFormat::cmdApply_Click() {
    struct Stored {
        SettingKey key;
        QString control;                           // the control's value in its stored form
        std::function<bool(const QString&)> same;  // the stored value matches the control
    };
    const int check = chkFullName->checkState() == Qt::Unchecked ? 0 : chkFullName->checkState() == Qt::Checked ? 1 : 2;
    QList<Stored> values;
    values.append({Setting::FullName, QString::number(check),
                   [check](const QString& s) { return numberOf(s) == check; }});
    const QString path = txtSavePath->text();
    // A folder that would be refused is not stored: the work folder stays
    // where it is, and nothing goes to the program's current folder instead.
    const QString folder =
        WorkDirectoryUnder(ctx_.services, path.trimmed().isEmpty() ? SystemTempFolder(ctx_.services) : path);
    const bool fit = MakeWorkDirectory(folder);
    if (fit) values.append({Setting::SavePath, path, [path](const QString& s) { return s == path; }});
    const QRadioButton* buttons[] = {optUseJobName, optUseJobNumber, optUseUserName,
                                     optUseFileName, optUseDateandTime, optUseUserData};
    for (int i = 0; i < 6; ++i) {
        const bool on = buttons[i]->isChecked();
        values.append({kOptionKeys[i], BoolText(on),
                       [on](const QString& s) { return TruthOf(s) == on; }});
    }
    for (const Stored& v : values) {
        if (!IsStored(ctx_.services.getSetting(v.key))) {
            ctx_.services.saveSetting(v.key, v.control);
            clearRememberedNames();
        }
        if (!v.same(ctx_.services.getSetting(v.key))) {
            ctx_.services.saveSetting(v.key, v.control);
            clearRememberedNames();
        }
    }
    if (!fit) {
        ctx_.services.msgBox(QStringLiteral("Directory ") + folder +
                        QStringLiteral(" not found.  Please specify a valid directory."),
                    MsgButtons::OK, MsgIcon::None, QStringLiteral("iSeries Spoolwright"));
        return false;
    }
    ApplyWorkDirectoryRule(ctx_.services, ctx_.connection);
    return true;
}

void frmFormat::cmdOK_Click() {
    // A refused folder keeps the window open for another choice.
    if (cmdApply_Click()) hide();
}

void frmFormat::cmdCancel_Click() {
    unloadRequested_ = true;
    hide();
}

void frmFormat::showModal() {
    if (ctx_.services.presenter)
        ctx_.services.presenter->showModal(this);
    else
        exec();
}
