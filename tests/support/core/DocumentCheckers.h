#pragma once
#include <QString>
#include <string>
#include <vector>

// Independent checks of the documents the tests write. Each adds a gtest
// failure naming the file and the tool; none throws.

// What a PDF must show: its pages, their size and the report's text lines
// (Windows-1252 bytes, as the records arrived; blank lines are not counted).
struct PdfExpectation {
    int pages = -1;  // -1: not checked
    int width = 0, height = 0;  // 0: not checked
    std::vector<std::string> lines;
    bool checkLines = true;
};

// qpdf --check without a warning, our own xref/Length check, pdfinfo's page
// count and size, pdftotext's lines (nothing on standard error) and
// pdftotext -bbox words inside the MediaBox.
void CheckPdf(const QString& path, const PdfExpectation& expect);
// The structure alone, byte for byte: every xref entry points at "n 0 obj",
// startxref at "xref", every /Length (direct or indirect) is the exact byte
// count of its stream. Empty when sound, else what is wrong.
std::string PdfStructureFault(const std::string& bytes);

// xmllint --noout: well-formed, nothing on standard error.
void CheckXml(const QString& path);
// xmllint --html --noout: no error on standard error.
void CheckHtml(const QString& path);

// Runs a program; its exit code, standard output and standard error.
struct ToolRun {
    int exitCode = -1;
    std::string out, err;
};
ToolRun RunTool(const QString& program, const QStringList& args);
