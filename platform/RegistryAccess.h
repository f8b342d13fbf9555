#pragma once
#include <QString>

#include "MachineRegistry.h"

// The two read-only look-ups of machine-wide values that find installed
// programs and their versions. Neither shows a message.

// Root key handles as the callers pass them.
constexpr qint32 kHkeyClassesRoot = static_cast<qint32>(0x80000000u);
constexpr qint32 kHkeyCurrentUser = static_cast<qint32>(0x80000001u);
constexpr qint32 kHkeyLocalMachine = static_cast<qint32>(0x80000002u);
constexpr qint32 kHkeyUsers = static_cast<qint32>(0x80000003u);

// The default value of HKEY_LOCAL_MACHINE\subKey. On success `length` is the
// value's size with its terminating NUL (text length + 1); a missing key or
// value, or one of 100 bytes or more, gives "" and 0.
QString ReadMachineRegistryValue(MachineRegistry& registry, const QString& subKey, qint32& length);

// The value `valueName` of root\subKey into `result`. Missing key or value, or
// data larger than 1024 bytes: result "" and false. A string value gives its
// text, a 32-bit number its decimal text; a value of any other type leaves
// `result` as it was and still gives true.
bool ReadRegistryValue(MachineRegistry& registry, qint32 rootKey, const QString& subKey, const QString& valueName,
                       QString& result);
