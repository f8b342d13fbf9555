#pragma once
#include <QString>
#include <functional>
#include <optional>

#include "DownloadOptions.h"
#include "ProcessType.h"

class RunContext;
class SpoolFileRow;

// A destination's procedure, given the report: `fileName` is the name its
// save dialog or naming rule gave (the name written comes back in it, as
// another run may hold the one asked for); `width` gets the report's record
// width. 0 when the report was delivered.
using DeliveryProcedure = std::function<int(QString& fileName, QString& width, const SpoolFileRow& row)>;

// The destinations delivered below the windows (the four documents and the
// printer), wired to their procedures; none for the others: the e-mail and
// office programs have OfficeMailDeliveryFor (client/delivery), the viewers
// are the windows' own.
std::optional<DeliveryProcedure> CoreDeliveryFor(RunContext& ctx, const DownloadOptions& options,
                                                 DownloadProgress& progress, const ProcessType& type);
