#pragma once
#include <QString>
#include <string>

#include <vector>

#include "PlainSplfScreen.h"
#include "ScriptedHostSocket.h"
#include "SpoolFileRow.h"

#include "DownloadOptions.h"
#include "ReportResult.h"

// The options a "Text file" download starts from: no print control,
// "Replace file", all pages, "66" lines per page, overprinting suppressed.
DownloadOptions TextFileOptions();

// A row for QSYSPRT of job 004711/JSMITH/QPADEV0001, spooled file 0003,
// created 2024/01/31 14:05:09, user data MONTHLY; and its fields.
SpoolFileRow::Fields SampleRowFields();
SpoolFileRow SampleRow();
// Adds one grid row per call (the columns the spooled-file list fills).
void AddGridRow(SplfScreenApi& screen, const QString& file, const QString& job, bool selected = true);

// Page ranges whose From or To names no page, as typed, and the pages of the
// download request they give (its 20 characters from column 52): the report's ends.
struct PageRangeCase {
    const char *from, *to, *pages;
};
inline constexpr PageRangeCase kNonNumberPageRanges[] = {{"abc", "10", "00000000010000000010"},
                                                         {"-5", "1e3", "00000000019999999999"},
                                                         {"3", "*End", "00000000039999999999"}};

// Three pages of a sales report: skips with a blank spacing (also within a
// page), spacings of 0 to 3, a record without either, an empty text and a
// page that begins below its first line. 21 records: a full block of 11 and
// a last block of 10 with one blank slot.
std::vector<SpoolReplies::Record> SalesReport();
// "RECORD 1" on line 1, then "RECORD 2" ... "RECORD n" each on the next line.
std::vector<SpoolReplies::Record> NumberedRecords(int n);
// The same with its second record filled to the width, ending in "RIGHT EDGE".
std::vector<SpoolReplies::Record> WideSalesReport(int width);
// A line of text where a reader of a destination found it: its page and
// line, counted from 1.
struct PlacedLine {
    int page, line;
    std::string text;
    bool operator==(const PlacedLine& o) const { return page == o.page && line == o.line && text == o.text; }
};
void PrintTo(const PlacedLine& p, std::ostream* os);
// Two host pages with overprints (an underline, a total printed three times
// for bold) each followed by a skip to the host's next line, and where their
// lines are: with an overprint on a line of its own (a destination that
// cannot print over a line: the lines after it move down on the same page),
// and as the host prints them (*FCFC: an overprint on the line before it).
struct OverprintCase {
    std::vector<SpoolReplies::Record> records;
    std::vector<PlacedLine> ownLines, hostLines;
};
const OverprintCase& OverprintReport();
// The spooled file of SampleRow() as hostsim reads it (a .splf text).
std::string SampleSplf(const std::vector<SpoolReplies::Record>& records, int width);

// One layout of the same report and the golden file it gives: the process
// code and the screen's options.
struct LayoutCase {
    const char* golden;  // under tests/data/golden/
    const char* code;
    const char* pageLength;
    int printControl, fcfc, removeBlank;
};
const std::vector<LayoutCase>& EveryLayout();
void ApplyLayout(SplfScreenApi& screen, const LayoutCase& c);
void ApplyLayout(DownloadOptions& options, const LayoutCase& c);

// A document procedure: ProcPDF, ProcHtml, ProcXml.
class RunContext;
using DocumentProc = ReportResult (*)(RunContext&, const DownloadOptions&, DownloadProgress&, const QString&,
                                      const SpoolFileRow&);

std::string ReadFileBytes(const QString& path);
void WriteFileBytes(const QString& path, const std::string& bytes);

// Compares bytes with tests/data/golden/<name>; on a mismatch the actual file
// is kept under the build folder. SW_UPDATE_GOLDEN=1 writes the golden file.
void ExpectGolden(const std::string& actual, const QString& name);
