#include "frmSplash.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "AppContext.h"
#include "Artwork.h"
#include "NamedLabel.h"
#include "WindowGeometry.h"

namespace {
QLabel* label(QWidget* parent, const char* name, const QString& text, int pointSize = 0,
              bool bold = false) {
    QLabel* l = namedLabel(parent, name, text);
    if (pointSize > 0 || bold) {
        QFont f = l->font();
        if (pointSize > 0) f.setPointSize(pointSize);
        f.setBold(bold);
        l->setFont(f);
    }
    return l;
}
}  // namespace

frmSplash::frmSplash(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), ctx_(ctx) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("iSeries Spoolwright"));

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(2);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    Label4 = label(frame, "Label4", QStringLiteral("iSeries Spoolwright"), 22, true);
    Label3 = label(frame, "Label3", QStringLiteral("Tolvane"), 14, true);
    Label2 = label(frame, "Label2", QStringLiteral("Tolvane"), 9);
    lblVersion = label(frame, "lblVersion", QStringLiteral("Version"), 10);
    Label1 =
        label(frame, "Label1",
              QStringLiteral("Spooled files from your iSeries to text, HTML, XML and PDF files, "
                             "the PC printer, office programs and e-mail."));
    Label1->setWordWrap(true);
    Image4 = label(frame, "Image4", QString());
    Image4->setPixmap(Artwork::logo(96));

    auto* text = new QVBoxLayout;
    text->addWidget(Label4);
    text->addWidget(Label3);
    text->addSpacing(12);
    text->addWidget(Label2);
    text->addWidget(lblVersion);
    text->addStretch(1);
    text->addWidget(Label1);

    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(24, 24, 24, 24);
    row->setSpacing(24);
    row->addWidget(Image4, 0, Qt::AlignTop);
    row->addLayout(text, 1);
}

frmSplash::~frmSplash() = default;

void frmSplash::Form_Load() {
    lblVersion->setText(ctx_.services.version.text());
    WindowGeometry::sizeAndCentre(this, 7670, 5150);
}
