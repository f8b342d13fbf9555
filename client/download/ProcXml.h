#pragma once
#include <QString>
#include <string>
#include <string_view>

#include "DownloadOptions.h"
#include "ReportResult.h"
#include "SpoolFileRow.h"

class RunContext;

// Downloads one spooled file and writes it as an XML document: the spooled
// file's attributes, then its pages and lines as numbered elements carrying
// the host's skip and spacing. Results as ProcPDF.
ReportResult ProcXml(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const QString& fileName,
                     const SpoolFileRow& row);

// Text for XML 1.0 in Windows-1252: "&" (and, when asked, "<" and ">") as
// entities, bytes XML forbids or the code page leaves undefined as blanks.
std::string XmlText(std::string_view text, bool escapeAngles);
void AppendXmlText(std::string& out, std::string_view text, bool escapeAngles);
