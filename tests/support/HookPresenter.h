#pragma once
#include <QString>

#include "TestPresenter.h"

class AppContext;

// The presenter double of the tests (TestPresenter): hooks fill and close the
// windows instead of a person; file dialogs answer from a queue (empty = Cancel).
using HookPresenter = TestPresenter;

// Installs a fresh presenter double into the context (replacing any) and returns it.
HookPresenter& installHookPresenter(AppContext& ctx);

// Answers the sign-on dialog when it comes up: fills user and password, sets
// "Save password" and presses OK.
void answerSignOn(HookPresenter& p, const QString& user, const QString& password, bool savePassword = false);

