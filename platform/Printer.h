#pragma once
#include <QString>
#include <stdexcept>

class Presenter;
class QWidget;

// A printer error, with the number and text the messages show.
struct PrinterError : std::runtime_error {
    PrinterError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number(number), description(description) {}
    int number;
    QString description;
};

// The PC printer as the program uses it: font and orientation, lines of text
// one under the other, new pages, the end of the document (which sends it). A
// line that no longer fits on the page goes onto a new one. The document
// starts with the first line or new page.
class Printer {
public:
    enum Orientation { Portrait = 1, Landscape = 2 };
    static constexpr int kPrinterError = 482;
    virtual ~Printer() = default;
    // The print dialog, through the presenter; false when it was cancelled.
    virtual bool showDialog(Presenter& presenter, QWidget* parent) = 0;
    virtual QString deviceName() = 0;
    virtual void setFontName(const QString& name) = 0;
    virtual void setFontSize(double points) = 0;
    // Takes effect at once before the document starts, else from the next page.
    virtual void setOrientation(int orientation) = 0;
    // The name the print queue shows for the next document.
    virtual void setDocumentName(const QString& name) = 0;
    virtual int orientation() = 0;
    // One line; "" prints an empty line.
    virtual void printLine(const QString& text) = 0;
    virtual void newPage() = 0;
    virtual void endDoc() = 0;
    // Drops the document being printed, if any; never fails.
    virtual void abortDoc() = 0;
    // Whether the machine has a printer to print on without asking (a batch
    // run uses the default printer).
    virtual bool hasPrinter() = 0;
    // The width a line may take on the next page, and the width a line of
    // `columns` characters takes in the font as set, in points; 0 when not known.
    virtual double printableWidthPoints() { return 0; }
    virtual double textWidthPoints(int /*columns*/) { return 0; }
};
