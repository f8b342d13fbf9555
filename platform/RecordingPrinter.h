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
    int orientation() override { return orientation_; }
    void printLine(const QString& text) override;
    void newPage() override;
    void endDoc() override;

    QString name = QStringLiteral("Test Printer");
    QString fontName;
    double fontSize = 0;
    // The printer's orientation before anybody sets it.
    void setInitialOrientation(int o) { orientation_ = o; }
    // The next operation whose log entry starts with `op` ("print", "size", "newpage", ...) fails.
    void failOn(const QString& op, int number, const QString& description = QStringLiteral("Printer error"));

    // "dialog", "font Courier New", "size 9", "orientation 2", "print text", "newpage", "enddoc".
    const QStringList& log() const { return log_; }
    const std::vector<Document>& documents() const { return documents_; }
    // The pages of the document being printed.
    const Document& current() const { return current_; }
    bool started() const { return started_; }

private:
    void record(const QString& entry);
    QStringList log_;
    std::vector<Document> documents_;
    Document current_;
    bool started_ = false;
    int orientation_ = Portrait;
    QString failOp_;
    int failNumber_ = 0;
    QString failText_;
};
