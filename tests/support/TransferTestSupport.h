#pragma once
#include <QString>
#include <string>

#include "PlainSplfScreen.h"
#include "SpoolFileRow.h"

class AppContext;

// The spooled-file screen of ctx as the widgetless screen, with the options
// a "Text file" download starts from: no print control, "Replace file",
// all pages, "66" lines per page, overprinting suppressed.
PlainSplfScreen& TextFileScreen(AppContext& ctx);

// A row for QSYSPRT of job 004711/JSMITH/QPADEV0001, spooled file 0003,
// created 2024/01/31 14:05:09, user data MONTHLY; and its fields.
SpoolFileRow::Fields SampleRowFields();
SpoolFileRow SampleRow();
// Adds one grid row per call (the columns the spooled-file list fills).
void AddGridRow(SplfScreenApi& screen, const QString& file, const QString& job, bool selected = true);

std::string ReadFileBytes(const QString& path);
void WriteFileBytes(const QString& path, const std::string& bytes);

// Compares bytes with tests/data/golden/<name>; on a mismatch the actual file
// is kept under the build folder. SW_UPDATE_GOLDEN=1 writes the golden file.
void ExpectGolden(const std::string& actual, const QString& name);
