#include "TransferTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>


DownloadOptions TextFileOptions() {
    DownloadOptions o;
    o.processType = QStringLiteral("Text file");
    o.textFile = DownloadOptions::AddReplace::Replace;
    return o;
}

SpoolFileRow SampleRow() { return SpoolFileRow::fromFields(SampleRowFields()); }

SpoolFileRow::Fields SampleRowFields() {
    SpoolFileRow::Fields f;
    f.file = "QSYSPRT";
    f.user = "JSMITH";
    f.outq = "PRT01";
    f.pages = "     3";
    f.form = "*STD";
    f.date = "2024/01/31";
    f.time = "14:05:09";
    f.jobNumber = "004711";
    f.job = "QPADEV0001/0003";
    f.userData = "MONTHLY   ";
    f.translation = std::string(10, ' ');
    return f;
}

std::vector<SpoolReplies::Record> SalesReport() {
    return {
        {"001", ' ', "ACME CORP                 MONTHLY SALES REPORT                    PAGE     1"},
        {"   ", '2', "REGION   ITEM          QTY       AMOUNT"},
        {"   ", '1', "------   ----------    ---   ----------"},
        {"   ", '1', "NORTH    WIDGET         12       120.00"},
        {"   ", '1', "NORTH    GADGET          3        45.50-"},
        {"010", ' ', "SOUTH    WIDGET          7        70.00"},
        {"   ", '1', "SOUTH    GIZMO           1         9.99"},
        {"   ", '3', "                     TOTAL       245.49"},
        {"   ", '1', ""},
        {"020", ' ', "END OF REGION LIST"},
        {"   ", '0', "___ __ ______ ____"},
        {"060", ' ', "CONFIDENTIAL"},
        {"001", ' ', "ACME CORP                 MONTHLY SALES REPORT                    PAGE     2"},
        {"   ", '2', "REGION   ITEM          QTY       AMOUNT"},
        {"005", ' ', "EAST     WIDGET          4        40.00"},
        {"   ", '2', "EAST     THING           2        20.00"},
        {"012", ' ', "WEST     WIDGET          0         0.00"},
        {"003", ' ', "SUMMARY \xe9t\xe9"},
        {"   ", '1', "GRAND TOTAL                       305.49"},
        {"   ", ' ', "NOTE: A RECORD WITH NEITHER SKIP NOR SPACING"},
        {"   ", '3', "*** END OF REPORT ***"},
    };
}

std::vector<SpoolReplies::Record> NumberedRecords(int n) {
    std::vector<SpoolReplies::Record> r{{"001", ' ', "RECORD 1"}};
    for (int i = 2; i <= n; ++i) r.push_back({"   ", '1', "RECORD " + std::to_string(i)});
    return r;
}

std::vector<SpoolReplies::Record> WideSalesReport(int width) {
    std::vector<SpoolReplies::Record> records = SalesReport();
    std::string& text = records[1].text;
    text += std::string(static_cast<size_t>(width) - text.size() - 10, '.') + "RIGHT EDGE";
    return records;
}

std::string SampleSplf(const std::vector<SpoolReplies::Record>& records, int width) {
    std::string s = "name=QSYSPRT\njob=QPADEV0001\nuser=JSMITH\njobnumber=004711\nnumber=3\nformtype=*STD\n"
                    "date=2024-01-31\ntime=14:05:09\nuserdata=MONTHLY\nwidth=" +
                    std::to_string(width) + "\n[records]\n";
    for (const SpoolReplies::Record& r : records) s += (r.skip + "   ").substr(0, 3) + r.spacing + r.text + "\n";
    return s;
}

void PrintTo(const PlacedLine& p, std::ostream* os) {
    *os << "(" << p.page << ", " << p.line << ", \"" << p.text << "\")";
}

const OverprintCase& OverprintReport() {
    static const OverprintCase c = {
        {
            {"001", ' ', "ACME CORP      PAGE 1"},
            {"   ", '2', "NAME           AMOUNT"},
            {"   ", '0', "____           ______"},
            {"004", ' ', "SMITH           10.00"},
            {"   ", '1', "JONES           20.00"},
            {"   ", '1', "TOTAL           30.00"},
            {"   ", '0', "TOTAL           30.00"},
            {"   ", '0', "TOTAL           30.00"},
            {"008", ' ', "END OF PAGE 1"},
            {"001", ' ', "ACME CORP      PAGE 2"},
            {"   ", '2', "NAME           AMOUNT"},
            {"   ", '0', "____           ______"},
            {"004", ' ', "BROWN            5.00"},
            {"006", ' ', "LAST LINE"},
        },
        {
            {1, 1, "ACME CORP      PAGE 1"}, {1, 3, "NAME           AMOUNT"}, {1, 4, "____           ______"},
            {1, 5, "SMITH           10.00"}, {1, 6, "JONES           20.00"}, {1, 7, "TOTAL           30.00"},
            {1, 8, "TOTAL           30.00"}, {1, 9, "TOTAL           30.00"}, {1, 11, "END OF PAGE 1"},
            {2, 1, "ACME CORP      PAGE 2"}, {2, 3, "NAME           AMOUNT"}, {2, 4, "____           ______"},
            {2, 5, "BROWN            5.00"}, {2, 7, "LAST LINE"},
        },
        {
            {1, 1, "ACME CORP      PAGE 1"}, {1, 3, "NAME           AMOUNT"}, {1, 3, "____           ______"},
            {1, 4, "SMITH           10.00"}, {1, 5, "JONES           20.00"}, {1, 6, "TOTAL           30.00"},
            {1, 6, "TOTAL           30.00"}, {1, 6, "TOTAL           30.00"}, {1, 8, "END OF PAGE 1"},
            {2, 1, "ACME CORP      PAGE 2"}, {2, 3, "NAME           AMOUNT"}, {2, 3, "____           ______"},
            {2, 4, "BROWN            5.00"}, {2, 6, "LAST LINE"},
        },
    };
    return c;
}

const std::vector<LayoutCase>& EveryLayout() {
    static const std::vector<LayoutCase> cases = {
        {"transfer/text_66.txt", "Text", "66", 0, 0, 0},
        {"transfer/text_88.txt", "Text", "88", 0, 0, 0},
        {"transfer/text_variable.txt", "Text", "Variable", 0, 0, 0},
        {"transfer/text_no_blank_lines.txt", "Text", "66", 0, 0, 1},
        {"transfer/prtctl.txt", "Text", "66", 1, 0, 0},
        {"transfer/fcfc.txt", "Text", "66", 1, 1, 0},
        {"transfer/full_view.txt", "ProcFullView", "66", 0, 0, 0},
        {"transfer/office.txt", "ProcWord_8", "66", 0, 0, 0},
        {"transfer/auto_mail.txt", "ProcAttachOAMS", "66", 0, 0, 0},
    };
    return cases;
}

void ApplyLayout(SplfScreenApi& screen, const LayoutCase& c) {
    screen.setText(ScreenText::PageLength, QString::fromLatin1(c.pageLength));
    screen.setCheck(ScreenCheck::PrintControl, c.printControl);
    screen.setChosen(ScreenChoice::PrintControlFormat, c.fcfc, true);
    screen.setCheck(ScreenCheck::RemoveBlankLines, c.removeBlank);
}

void ApplyLayout(DownloadOptions& options, const LayoutCase& c) {
    options.pageLength = QString::fromLatin1(c.pageLength);
    options.printControl = c.printControl != 0;
    options.fcfc = c.fcfc != 0;
    options.removeBlankLines = c.removeBlank != 0;
}

void AddGridRow(SplfScreenApi& screen, const QString& file, const QString& job, bool selected) {
    SplfGrid& g = screen.grdSplf();
    if (g.columnCount() == 0)
        for (const char* key : {"Date", "File", "User", "Outq", "Pages", "Form", "JobNumber", "Job", "UserData"})
            g.addColumn(QString::fromLatin1(key), QString::fromLatin1(key), 100);
    g.addRow();
    const int r = g.rowCount();
    g.setCellValue(r, QStringLiteral("Date"), QStringLiteral("2024/01/31 14:05:09"));
    g.setCellValue(r, QStringLiteral("File"), file);
    g.setCellValue(r, QStringLiteral("User"), QStringLiteral("JSMITH"));
    g.setCellValue(r, QStringLiteral("Outq"), QStringLiteral("PRT01"));
    g.setCellValue(r, QStringLiteral("Pages"), QStringLiteral("     3"));
    g.setCellValue(r, QStringLiteral("Form"), QStringLiteral("*STD"));
    g.setCellValue(r, QStringLiteral("JobNumber"), QStringLiteral("004711"));
    g.setCellValue(r, QStringLiteral("Job"), job);
    g.setCellValue(r, QStringLiteral("UserData"), QStringLiteral("MONTHLY   "));
    g.setCellSelected(r, 1, selected);
}

std::string ReadFileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

void WriteFileBytes(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void ExpectGolden(const std::string& actual, const QString& name) {
    const QString golden = QStringLiteral(SW_TEST_DATA "/golden/") + name;
    if (qEnvironmentVariableIsSet("SW_UPDATE_GOLDEN")) {
        QDir().mkpath(QFileInfo(golden).path());
        WriteFileBytes(golden, actual);
        return;
    }
    ASSERT_TRUE(QFileInfo::exists(golden)) << "no golden file " << golden.toStdString();
    const std::string expected = ReadFileBytes(golden);
    if (expected == actual) return;
    const QString kept = QStringLiteral(SW_BINARY_DIR "/golden-actual/") + name;
    QDir().mkpath(QFileInfo(kept).path());
    WriteFileBytes(kept, actual);
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
    const size_t line = static_cast<size_t>(std::count(expected.begin(), expected.begin() + static_cast<long>(at), '\n')) + 1;
    ADD_FAILURE() << name.toStdString() << " differs from its golden file at byte " << at << " (line " << line
                  << "); the actual file is " << kept.toStdString();
}
