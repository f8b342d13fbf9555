#include "QtPrinter.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include "Presenter.h"

QtPrinter::QtPrinter(QString pdfFile) : pdfFile_(std::move(pdfFile)) {
    font_.setStyleHint(QFont::TypeWriter);
    font_.setFixedPitch(true);
}

QtPrinter::~QtPrinter() {
    if (started_) painter_.end();
}

QPrinter& QtPrinter::device() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!pdfFile_.isEmpty()) {
            printer_->setOutputFormat(QPrinter::PdfFormat);
            printer_->setOutputFileName(pdfFile_);
        }
    }
    return *printer_;
}

bool QtPrinter::showDialog(Presenter& presenter, QWidget* parent) { return presenter.printDialog(parent, &device()); }

QString QtPrinter::deviceName() {
    QPrinter& p = device();
    if (p.outputFormat() == QPrinter::PdfFormat && !p.outputFileName().isEmpty()) return p.outputFileName();
    return p.printerName();
}

void QtPrinter::applyFont() {
    if (started_) painter_.setFont(font_);
}

void QtPrinter::setFontName(const QString& name) {
    font_.setFamily(name);
    applyFont();
}

void QtPrinter::setFontSize(double points) {
    if (points <= 0) throw PrinterError(380, QStringLiteral("Invalid property value"));
    font_.setPointSizeF(points);
    applyFont();
}

void QtPrinter::setOrientation(int orientation) {
    if (orientation != Portrait && orientation != Landscape) throw PrinterError(380, QStringLiteral("Invalid property value"));
    if (started_)
        pendingOrientation_ = orientation;
    else
        device().setPageOrientation(orientation == Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int QtPrinter::orientation() {
    if (pendingOrientation_) return pendingOrientation_;
    return device().pageLayout().orientation() == QPageLayout::Landscape ? Landscape : Portrait;
}

double QtPrinter::printableWidthPoints() {
    QPageLayout layout = device().pageLayout();
    if (pendingOrientation_)
        layout.setOrientation(pendingOrientation_ == Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    return layout.paintRect(QPageLayout::Point).width();
}

double QtPrinter::textWidthPoints(int columns) {
    const QFontMetricsF fm(font_, &device());
    return fm.horizontalAdvance(QString(columns, QLatin1Char('M'))) * 72.0 / device().resolution();
}

void QtPrinter::setDocumentName(const QString& name) {
    if (!started_) device().setDocName(name);
}

void QtPrinter::start() {
    if (started_) return;
    if (!painter_.begin(&device())) throw PrinterError(kPrinterError, QStringLiteral("Printer error"));
    started_ = true;
    y_ = 0;
    painter_.setFont(font_);
    painter_.setPen(Qt::black);
}

void QtPrinter::printLine(const QString& text) {
    start();
    const QFontMetricsF fm(painter_.font(), &device());
    const qreal height = device().pageLayout().paintRectPixels(device().resolution()).height();
    if (y_ > 0 && y_ + fm.height() > height) newPage();
    if (!text.isEmpty()) painter_.drawText(QPointF(0, y_ + fm.ascent()), text);
    y_ += fm.lineSpacing();
}

void QtPrinter::newPage() {
    start();
    if (pendingOrientation_) {
        device().setPageOrientation(pendingOrientation_ == Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        pendingOrientation_ = 0;
    }
    if (!device().newPage()) throw PrinterError(kPrinterError, QStringLiteral("Printer error"));
    y_ = 0;
}

void QtPrinter::endDoc() {
    if (!started_) return;
    started_ = false;
    pendingOrientation_ = 0;
    if (!painter_.end()) throw PrinterError(kPrinterError, QStringLiteral("Printer error"));
}

void QtPrinter::abortDoc() {
    if (!started_) return;
    started_ = false;
    pendingOrientation_ = 0;
    device().abort();
    painter_.end();
}

bool QtPrinter::hasPrinter() {
    if (!pdfFile_.isEmpty()) return true;
    return !QPrinterInfo::defaultPrinter().isNull();
}
