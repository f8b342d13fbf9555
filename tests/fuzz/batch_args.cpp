// A batch run's command line: split into arguments, typed and checked, and,
// when every parameter is sound, the report's row in its fixed columns.
#include <QString>
#include <QStringList>
#include <cstdlib>

#include "BatchRun.h"
#include "Codec.h"
#include "FuzzInput.h"

namespace {
void require(bool holds) {
    if (!holds) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString line = Codec::toUnicode(fuzz::bytes(data, size));
    const QStringList args = BatchRun::GetCommandLineArgs(line, 18);
    require(args.size() <= 18);
    for (const QString& a : args)
        require(!a.isEmpty() && !a.contains(QLatin1Char(',')) && !a.contains(QLatin1Char('\t')));

    BatchRun::Parameters p;
    BatchRun::BadParameter bad;
    if (!BatchRun::ReadParameters(args, QStringLiteral("2024/02/29 09:08:07"), p, bad)) return 0;
    // Every field kept its width: nothing was cut and nothing can shift.
    require(args.size() <= 17 && p.fileGiven);
    require(p.file.size() == 10 && p.job.size() == 10 && p.user.size() == 10 && p.nbr.size() == 6 &&
            p.seq.size() == 5 && p.data.size() == 10 && p.date.size() == 19);
    const std::string row = BatchRun::BatchRow(p);
    require(row.size() == 102);
    require(Codec::fromUnicode(p.file) == row.substr(0, 10));
    require(Codec::fromUnicode(p.data) == row.substr(92, 10));
    return 0;
}
