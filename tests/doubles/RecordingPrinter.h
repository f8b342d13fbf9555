#pragma once
#include <QStringList>
#include <vector>

#include "Printer.h"

// Test double: a printer that keeps what it was told. Pages hold their lines
// ("" for an empty line); a document is finished by endDoc().
class RecordingPrinter : public Printer {
public:
    struct Page {
        int orientation;
        QStringList lines;
    };
    using Document = std::vector<Page>;

    bool showDialog(Presenter& presenter, QWidget* parent) override;
    QString deviceName() override { return name; }
    void setFontName(const QString& n) override;
    void setFontSize(double points) override;
    void setOrientation(int o) override;
    void setDocumentName(const QString& n) override { record(QStringLiteral("title ") + n); }
    int orientation() override { return orientation_; }
    void printLine(const QString& text) override;
    void newPage() override;
    void endDoc() override;
    void abortDoc() override;
    bool hasPrinter() override { return present; }
    double printableWidthPoints() override { return pageWidthPoints; }
    // Courier's advance: 0.6 of the font size per character.
    double textWidthPoints(int columns) override { return pageWidthPoints > 0 ? 0.6 * fontSize * columns : 0; }

    QString name = QStringLiteral("Test Printer");
    // False: the machine has no printer.
    bool present = true;
    // Lines a page holds (0: no limit); a further line starts a new page, as
    // the real printer does at the end of its printable area.
    int linesPerPage = 0;
    // The width a line may take (0: not known, nothing is measured).
    double pageWidthPoints = 0;
    QString fontName;
    double fontSize = 0;
    // The printer's orientation before anybody sets it.
    void setInitialOrientation(int o) { orientation_ = o; }
    // The next operation whose log entry starts with `op` ("print", "size", "newpage", ...) fails.
    void failOn(const QString& op, int number, const QString& description = QStringLiteral("Printer error"));

    // "dialog", "abortdoc", "title LEDGER MONTHEND 100001 0001", "font Courier New", "size 9", "orientation 2", "print text", "newpage", "enddoc".
    const QStringList& log() const { return log_; }
    const std::vector<Document>& documents() const { return documents_; }
    int abortedDocuments() const { return aborted_; }
    // The pages of the document being printed.
    const Document& current() const { return current_; }
    bool started() const { return started_; }

private:
    void record(const QString& entry);
    QStringList log_;
    std::vector<Document> documents_;
    Document current_;
    bool started_ = false;
    int aborted_ = 0;
    int orientation_ = Portrait;
    QString failOp_;
    int failNumber_ = 0;
    QString failText_;
};
