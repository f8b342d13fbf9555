#pragma once
#include <QString>

#include "ProcessType.h"
#include "RunSettings.h"

class RunContext;
class SpoolFileRow;

// The one batch naming rule: the name a file destination writes for a report
// of an unattended run. A name a settings file gave is the first report's;
// otherwise the name is built as the save-as dialog would propose it, in the
// naming options' folder ("Save Path") and by their long-names choice, or it
// is the remembered name of the last file of that kind. The name is kept in
// `settings` for the next report, as the dialog keeps its field. A text file
// takes the remembered "Add replace" when its name is chosen this way.
QString BatchFileName(RunContext& ctx, RunSettings& settings, SaveDialogKind dialog, const SpoolFileRow& row);

// The save dialog's name field in the run settings, and the extension it proposes.
RunSettings::SaveDialog SaveNameOf(SaveDialogKind dialog);
QString SaveExtensionOf(SaveDialogKind dialog);
