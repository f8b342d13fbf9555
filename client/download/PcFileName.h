#pragma once
#include <QSet>
#include <QString>

#include "SpoolFileRow.h"

class RunContext;

// Proposes a PC file name for a spooled file that names no existing file:
// the short numbered name (Spwrt.txt, Spwrt001.txt, ...) or, when
// useAttributes is set and "FullName" is "1", a name made of the report's
// attributes in the order the naming options chose. A directory that is not
// blank gets a trailing separator in the caller's variable; an empty
// extension becomes "txt" there too. Host-supplied parts are made safe for a
// file name first, so that the name stays inside the directory.
QString BuildPcFileName(RunContext& ctx, QString& directory, const SpoolFileRow& row, bool useAttributes,
                        QString& extension);
QString BuildPcFileName(RunContext& ctx, QString directory, const SpoolFileRow& row, bool useAttributes,
                        const QString& extension = QString());

// The attribute name before the batch name and the counter (no directory,
// no extension): "QSYSPRT QPADEV0001 JSMITH 004711 0003 2024-01-31 14-05-09".
QString AttributeName(RunContext& ctx, const SpoolFileRow& row);

// A name like path that names neither an existing file nor one of `taken`:
// the stem followed by a counter, as the name builder numbers its candidates.
QString NextFreeName(const QString& path, const QSet<QString>& taken);
