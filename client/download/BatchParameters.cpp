#include "BatchParameters.h"

#include <algorithm>

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

#include "Codec.h"

namespace BatchRun {
namespace {
struct Field {
    const char* type;
    int width;  // 0: any length
    QString Parameters::*field;
};
// By position: 1 SETS, 2 FILE, ... 9 DATA.
const Field kFields[] = {
    {"SETS", 0, nullptr},           {"FILE", 10, &Parameters::file}, {"JOB", 10, &Parameters::job},
    {"USER", 10, &Parameters::user}, {"NBR", 6, &Parameters::nbr},   {"SEQ", 5, &Parameters::seq},
    {"DATE", 19, &Parameters::date}, {"NAME", 0, &Parameters::name}, {"DATA", 10, &Parameters::data},
};

const Field* fieldOf(const QString& type) {
    bool isNumber = false;
    const int position = type.toInt(&isNumber);
    for (size_t i = 0; i < std::size(kFields); ++i)
        if (isNumber ? position == static_cast<int>(i) + 1 && type == QString::number(position)
                     : type == QLatin1String(kFields[i].type))
            return &kFields[i];
    return nullptr;
}

bool isBareWord(const QString& s) {
    static const QRegularExpression word(QStringLiteral("^[A-Za-z0-9]+$"));
    return word.match(s).hasMatch();
}

// A file name's limit on this system, and ".html".
constexpr qsizetype kMaxFileNameBytes = 255;
constexpr qsizetype kLongestExtension = 5;

bool validDate(const QString& v) {
    const QDateTime d = QDateTime::fromString(v, QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    return d.isValid() && d.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) == v;
}
}  // namespace

QStringList GetCommandLineArgs(const QString& commandLine, int maxArgs) {
    QStringList args;
    bool open = false;
    for (const QChar ch : commandLine) {
        if (ch == QLatin1Char(',') || ch == QLatin1Char('\t')) {
            open = false;
            continue;
        }
        if (!open) {
            if (args.size() >= maxArgs) break;
            args.append(QString());
            open = true;
        }
        args.last().append(ch);
    }
    return args;
}

QStringList BatchArguments(const QStringList& programArguments) {
    if (programArguments.size() == 1) return GetCommandLineArgs(programArguments.first(), 18);
    return programArguments.mid(0, 18);
}

bool ReadParameters(const QStringList& args, const QString& startTime, Parameters& out, BadParameter& bad) {
    out = Parameters{};
    out.date = startTime;
    if (args.size() > 17) {
        bad = {QString::number(18), args.at(17)};
        return false;
    }
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const qsizetype colon = arg.indexOf(QLatin1Char(':'));
        QString type, value;
        if (colon >= 0 && isBareWord(arg.left(colon).trimmed())) {
            type = arg.left(colon).trimmed().toUpper();
            value = arg.mid(colon + 1).trimmed();
        } else {
            type = QString::number(i + 1);
            value = arg;
        }
        bad = {type, value};
        const Field* f = fieldOf(type);
        if (!f || value.trimmed().isEmpty()) return false;
        if (!f->field) {
            out.settings << value.trimmed();
            continue;
        }
        if (f->width > 0 && value.size() > f->width) return false;  // never cut
        const QString type9 = QString::fromLatin1(f->type);
        if (type9 == QLatin1String("SEQ")) {
            bool ok = false;
            const int n = value.trimmed().toInt(&ok);
            if (!ok || n < 1 || n > 9999) return false;
            value = QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
        }
        if (type9 == QLatin1String("DATE") && !validDate(value)) return false;
        // Both become parts of PC file names: "../" or a folder would put the file elsewhere,
        // and a control character would make a name nobody can type or read.
        if ((type9 == QLatin1String("NAME") || type9 == QLatin1String("DATA")) &&
            (value.contains(QLatin1Char('/')) || value.contains(QLatin1Char('\\')) ||
             std::any_of(value.begin(), value.end(), Codec::isControl)))
            return false;
        // The row puts SEQ after the job's "/", and the host reads the number after the
        // first one: a "/" in JOB would ask for another spooled file.
        if (type9 == QLatin1String("JOB") && value.contains(QLatin1Char('/'))) return false;
        // A NAME that leaves no room for the extension can name no file at all.
        if (type9 == QLatin1String("NAME") && QFile::encodeName(value).size() + kLongestExtension > kMaxFileNameBytes)
            return false;
        if (type9 == QLatin1String("FILE")) out.fileGiven = true;
        out.*(f->field) = f->width > 0 ? value.leftJustified(f->width, QLatin1Char(' ')) : value;
    }
    if (!out.fileGiven) {
        bad = {QStringLiteral("FILE"), QString()};
        return false;
    }
    return true;
}

std::string BatchRow(const Parameters& p) {
    QString row = p.file + QLatin1Char(' ') + p.user + QLatin1Char(' ') + QString(25, QLatin1Char(' ')) +
                  p.date.leftJustified(19, QLatin1Char(' '), true) + QLatin1Char(' ') + p.nbr + QLatin1Char(' ');
    row += QString(p.job).remove(QLatin1Char(' ')) + QLatin1Char('/') + p.seq;
    row = row.leftJustified(102, QLatin1Char(' '));
    row.replace(92, 10, p.data);
    return Codec::fromUnicode(row);
}
}  // namespace BatchRun
