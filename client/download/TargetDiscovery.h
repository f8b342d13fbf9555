#pragma once
#include <QStringList>

class RunContext;

// The destinations offered on this PC: the seven local ones, then each mail
// and office program that the machine registry shows (the platform's
// stand-ins register theirs there). Sets the command and version variables
// of the context that the deliveries read.
QStringList DiscoverDeliveryTargets(RunContext& ctx);
