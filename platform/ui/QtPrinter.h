#pragma once
#include <QFont>
#include <QPainter>
#include <memory>

#include "Printer.h"

class QPrinter;

// The printer over QPrinter and QPainter: the system's default printer (CUPS),
// or a PDF file. The QPrinter is made on first use, so that a context that
// never prints never asks the print system for its printers.
class QtPrinter : public Printer {
public:
    // `pdfFile` empty: the default printer; else every document goes to that PDF file.
    explicit QtPrinter(QString pdfFile = {});
    void setDocumentName(const QString& name) override;
    ~QtPrinter() override;
    bool showDialog(Presenter& presenter, QWidget* parent) override;
    QString deviceName() override;
    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    void setOrientation(int orientation) override;
    int orientation() override;
    void printLine(const QString& text) override;
    void newPage() override;
    void endDoc() override;
    void abortDoc() override;
    bool hasPrinter() override;
    double printableWidthPoints() override;
    double textWidthPoints(int columns) override;
    QPrinter& device();

private:
    void start();
    void applyFont();
    QString pdfFile_;
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    QFont font_;
    bool started_ = false;
    int pendingOrientation_ = 0;
    qreal y_ = 0;
};
