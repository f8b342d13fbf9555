#pragma once
#include <QString>

class AppContext;
class TestPresenter;

// Answers the sign-on dialog when it comes up: fills user and password, sets
// "Save password" and presses OK.
void answerSignOn(TestPresenter& p, const QString& user, const QString& password, bool savePassword = false);

// Remembers a user and the scrambled form of a password, as a sign-on with
// "Save password" ticked leaves them, so that a connection asks nothing.
void rememberSignOn(AppContext& ctx, const QString& user, const QString& password);
