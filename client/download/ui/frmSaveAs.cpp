#include "frmSaveAs.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "AppContext.h"
#include "SettingValues.h"
#include "WorkDirectory.h"

namespace {
const frmSaveAs::Texts kTexts[] = {
    {"frmSave", "Save iSeries report as text file", "Copy iSeries Spool File to PC Text File",
     "Text (*.txt)|*.txt|All files (*.*)|*.*", "*.txt", &Setting::SaveDir, &Setting::TextFile},
    {"frmSaveHtml", "Save iSeries report as HTML document", "Copy iSeries Spool File to html document",
     "Html (*.htm*)|*.htm*|All files (*.*)|*.*", "*.htm*", &Setting::SaveDirHtml, &Setting::HtmlFile},
    {"frmSaveXml", "Save iSeries report as XML document", "Copy iSeries Spool File to xml document",
     "xml (*.xml*)|*.xml*|All files (*.*)|*.*", "*.xml*", &Setting::SaveDirXml, &Setting::XmlFile},
    {"frmPDF", "Save iSeries report as PDF document", "Copy iSeries Spool File to PDF document",
     "PDF (*.pdf)|*.pdf|All files (*.*)|*.*", "*.pdf", &Setting::SaveDirPdf, &Setting::PdfFile},
};

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

constexpr int kNameBoxWidth = 420;

// Where a path's folder part ends (after its last separator), -1 without one.
qsizetype folderEnd(const QString& path) {
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(PathSeparator()));
}
}  // namespace

const frmSaveAs::Texts& frmSaveAs::textsOf(Kind kind) { return kTexts[static_cast<int>(kind)]; }

frmSaveAs::frmSaveAs(AppContext& ctx, Kind kind) : ctx_(ctx), kind_(kind) {
    const Texts& t = textsOf(kind);
    setObjectName(QString::fromLatin1(t.objectName));
    setWindowTitle(QString::fromLatin1(t.caption));
    setModal(true);
    auto* grid = new QGridLayout(this);
    Label1 = new QLabel(QStringLiteral("File name:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtSave = new QLineEdit(this);
    txtSave->setObjectName(QStringLiteral("txtSave"));
    txtSave->setMinimumWidth(kNameBoxWidth);
    cmdBrowse = button(this, "cmdBrowse", QStringLiteral("..."));
    OKButton = button(this, "OKButton", QStringLiteral("&Save"));
    OKButton->setDefault(true);
    CancelButton = button(this, "CancelButton", QStringLiteral("&Cancel"));
    cmdOpenAll = button(this, "cmdOpenAll", QStringLiteral("Save &All"));
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(txtSave, 0, 1, 1, 3);
    grid->addWidget(cmdBrowse, 0, 4);
    grid->addWidget(OKButton, 1, 1);
    grid->addWidget(cmdOpenAll, 1, 2);
    grid->addWidget(CancelButton, 1, 3);
    setTabOrder(txtSave, OKButton);
    connect(OKButton, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([&] { OKButton_Click(); }); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([&] { CancelButton_Click(); }); });
    connect(cmdOpenAll, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([&] { cmdOpenAll_Click(); }); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { ctx_.services.runHandler([&] { cmdBrowse_Click(); }); });
}

frmSaveAs::~frmSaveAs() = default;

QString frmSaveAs::txtSaveTag() const { return txtSave->property("Tag").toString(); }
void frmSaveAs::setTxtSaveTag(const QString& tag) { txtSave->setProperty("Tag", tag); }

bool& frmSaveAs::acceptedFlag() {
    switch (kind_) {
    case Kind::Text: return ctx_.saveDialogs.text.accepted;
    case Kind::Html: return ctx_.saveDialogs.html.accepted;
    case Kind::Xml: return ctx_.saveDialogs.xml.accepted;
    default: return ctx_.saveDialogs.pdf.accepted;
    }
}

bool& frmSaveAs::cancelledFlag() {
    switch (kind_) {
    case Kind::Text: return ctx_.saveDialogs.text.cancelled;
    case Kind::Html: return ctx_.saveDialogs.html.cancelled;
    case Kind::Xml: return ctx_.saveDialogs.xml.cancelled;
    default: return ctx_.saveDialogs.pdf.cancelled;
    }
}

bool& frmSaveAs::saveAllFlag() {
    switch (kind_) {
    case Kind::Text: return ctx_.saveDialogs.text.all;
    case Kind::Html: return ctx_.saveDialogs.html.all;
    case Kind::Xml: return ctx_.saveDialogs.xml.all;
    default: return ctx_.saveDialogs.pdf.all;
    }
}

void frmSaveAs::fitName() {
    const QString name = txtSave->text();
    txtSave->setToolTip(name);
    // The box's frame and margins: what its size hint adds to its 17 characters.
    const QFontMetrics fm = txtSave->fontMetrics();
    const int chrome = txtSave->sizeHint().width() - fm.horizontalAdvance(QLatin1Char('x')) * 17;
    const int wanted = fm.horizontalAdvance(name) + chrome + 4;  // and room for the cursor
    int room = 1600;
    if (const QScreen* screen = this->screen()) room = screen->availableGeometry().width() * 9 / 10;
    room -= width() - txtSave->width();
    txtSave->setMinimumWidth(std::clamp(wanted, kNameBoxWidth, std::max(kNameBoxWidth, room)));
    // A name still too long shows its end, the file name; the tooltip holds it all.
    adjustSize();
}

void frmSaveAs::showModal() {
    shown_ = true;
    chosenByUser_ = false;
    Form_Activate();
    if (!shown_) return;
    fitName();
    if (ctx_.services.presenter)
        ctx_.services.presenter->showModal(this);
    else
        exec();
    shown_ = false;
}

void frmSaveAs::Form_Activate() {
    acceptedFlag() = true;
    txtSave->setFocus();
    if (saveAllFlag()) {
        activating_ = true;
        OKButton_Click();
        activating_ = false;
    }
}

void frmSaveAs::accept(bool byUser) {
    if (txtSave->text().trimmed().isEmpty()) {
        ctx_.services.msgBox(QStringLiteral("A file name must be specified."), MsgButtons::OK, MsgIcon::Exclamation,
                    QString::fromLatin1(textsOf(kind_).messageTitle));
        return;
    }
    chosenByUser_ = byUser;
    const QString name = txtSave->text().trimmed();
    if (const qsizetype end = folderEnd(name); end >= 0) {
        chosenFolder_ = name.left(end + 1);
        dlgFile.initDir = chosenFolder_;
    }
    shown_ = false;
    hide();
}

void frmSaveAs::OKButton_Click() { accept(!activating_); }

void frmSaveAs::CancelButton_Click() {
    cancelledFlag() = true;
    acceptedFlag() = false;
    saveAllFlag() = false;
    shown_ = false;
    hide();
}

void frmSaveAs::cmdOpenAll_Click() {
    saveAllFlag() = true;
    OKButton_Click();
}

void frmSaveAs::cmdBrowse_Click() {
    const Texts& t = textsOf(kind_);
    if (dlgFile.initDir.isEmpty()) {
        const QString remembered = ctx_.services.getSetting(*t.rememberedFolder);
        if (HasValue(remembered)) dlgFile.initDir = remembered;
    }
    if (dlgFile.initDir.isEmpty()) dlgFile.initDir = SystemTempFolder(ctx_.services);
    dlgFile.filter = QString::fromLatin1(t.filter);
    if (dlgFile.fileName.isEmpty()) dlgFile.fileName = QString::fromLatin1(t.pattern);
    if (!ctx_.services.presenter) return;
    QString start = dlgFile.initDir;
    if (!start.isEmpty() && !EndsWithSeparator(start)) start += PathSeparator();
    const QString chosen =
        ctx_.services.presenter->saveFileName(this, windowTitle(), start + dlgFile.fileName, dlgFile.filter);
    if (chosen.isEmpty()) return;
    txtSave->setText(chosen);
    const qsizetype sep = folderEnd(chosen);
    dlgFile.fileName = chosen.mid(sep + 1);
    if (sep >= 0) dlgFile.initDir = chosen.left(sep + 1);
}
