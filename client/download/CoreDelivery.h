#pragma once
#include <QString>
#include <functional>
#include <optional>

#include "DownloadOptions.h"
#include "ProcessType.h"
#include "ReportResult.h"

class RunContext;
class SpoolFileRow;

// A destination's procedure, given the report: `fileName` is the name its
// save dialog or naming rule gave. Its result is done when the report was
// delivered, and names the file written (another run may hold the one asked
// for; an office program's document); empty: none other than `fileName`.
using DeliveryProcedure = std::function<ReportResult(const QString& fileName, const SpoolFileRow& row)>;

// The destinations delivered below the windows (the four documents and the
// printer), wired to their procedures; none for the others: the e-mail and
// office programs have OfficeMailDeliveryFor (client/delivery), the viewers
// are the windows' own.
std::optional<DeliveryProcedure> CoreDeliveryFor(RunContext& ctx, const DownloadOptions& options,
                                                 DownloadProgress& progress, const ProcessType& type);
