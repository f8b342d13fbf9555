#pragma once
#include <QString>

// Qt's platform plugins keep sockets and locks in the session's private
// runtime folder ($XDG_RUNTIME_DIR). A start without a login session (a
// service, a container, su, CI) has none, and Qt would complain on every run
// and fall back to a shared folder. Called first thing in main(), before the
// application object: keeps a usable folder, else points the variable at one
// of the user's own (created 0700, never one that another user owns or may
// write). Returns the folder, empty when none could be had.
QString EnsureRuntimeDirectory();
