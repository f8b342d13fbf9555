#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// The mailing instructions inside a report: a line holding "MAILTO:" (any
// case) and a list of addresses, optionally followed by "REPORT:" and a name,
// stands in front of each part of the report meant for those addresses. The
// lines are those of the automatic e-mail work file: 3 characters skip, 1
// character space, then the record text.
namespace MailDirectives {
// How a directive line's list is read.
enum class ListForm {
    Short,  // up to the first blank behind the keyword (typed unchanged into the mail program)
    Long,   // up to "REPORT:", trimmed; split at ";", lower-cased; further address lines count too
};

struct Part {
    QString list;           // the short-form list of its directive line: parts with the same list share a message
    QStringList addresses;  // the recipients
    QStringList lines;      // work-file lines of the part, prefix included
    QString endPrefix;      // prefix of the directive line that ended the part (its layout still counts)
};

struct Split {
    std::vector<Part> parts;   // parts that have recipients and lines, in report order
    int directives = 0;        // directive lines found
    int skipped = 0;           // parts left out: their directive named no address, or no line followed it
};

// The short-form and long-form lists of a directive line (empty when the line is none).
QString shortList(const QString& line);
QString longList(const QString& line);
bool isDirective(const QString& line);
// A text that is nothing but addresses separated by ";" (at least one).
bool isAddressList(const QString& text);

// Cuts the work file at its directive lines. Only addresses on a directive
// line (and, for the long form, on the lines directly after it that hold
// nothing but addresses) become recipients; lines before the first
// directive are no part of any message.
Split split(const QStringList& workLines, ListForm form);

// Consecutive parts with the same list, as one message each.
std::vector<std::vector<Part>> messages(const std::vector<Part>& parts);

// One row of a laid-out part: a text line, a blank line or a page break.
struct Row {
    enum Kind { Text, Blank, PageBreak } kind;
    QString text;
};
// The part's rows on the page model's pages: each line's skip and space give
// blank lines and page breaks unless removeLayout is set. The part ends with
// its own last line.
std::vector<Row> layout(const Part& part, bool removeLayout);
}  // namespace MailDirectives
