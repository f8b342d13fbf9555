#pragma once
#include <QString>

// The delivery programs found on this PC (TargetDiscovery) that the
// deliveries read: mail programs' commands and versions; Excel and Word
// "10".."17" (Word: whatever its CurVer ends in), 1-2-3 "97"/"98"; empty when
// not found.
struct DeliveryTargets {
    QString gNetscapeCommand, gNetscapeVersion, gOutlookExpressCommand, gOutlookCommand;
    QString gExcelVersion, gWordVersion, gLotus123Version;
};
