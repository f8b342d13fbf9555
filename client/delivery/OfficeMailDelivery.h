#pragma once
#include <optional>

#include "CoreDelivery.h"
#include "RunSettings.h"

// The office and e-mail destinations wired to their procedures, as
// CoreDeliveryFor wires the documents and the printer: what a run with or
// without windows delivers them through. The mail destinations choose their
// procedure by the options (as a message, attached, or sent by itself); an
// office program names its document in `fileName`. None for the other
// destinations. `settings` must outlast the procedure, which may take the
// mark off the name a settings file gave (it names one report).
std::optional<DeliveryProcedure> OfficeMailDeliveryFor(RunContext& ctx, RunSettings& settings,
                                                       DownloadProgress& progress, const ProcessType& type);
