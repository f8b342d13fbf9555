#pragma once
#include <QString>
#include <string>

#include "Reporting.h"

class ConnectionState;
class HostLink;
class Services;
class SignOnPrompt;
struct RunMode;

// The host server program expects the user ID and password in scrambled form;
// the client only ever stores or sends that form.
namespace SignOnScrambling {
// 94 distinct printable characters; the position of a character, shifted by
// its position in the field, gives its scrambled form.
inline constexpr char kSignOnAlphabet[] =
    "aZ0 bY1!cX2#dW3$eV4%fU5&gT6'hS7(iR8)jQ9*kP+lO,mN-nM.oL/pK:qJ;rI<sH=tG>uF?vE@wD[xC\\yB]zA^_`{|}~";
constexpr int kAlphabetLength = 94;
constexpr size_t kUserIdLength = 10;
constexpr size_t kPasswordLength = 128;

// Scrambles every position of a fixed-width field (filling blanks included).
std::string scrambleField(const std::string& field);
// The inverse of scrambleField for a field of at most 94 characters, all in the alphabet.
std::string unscrambleField(const std::string& field);
// The first character of `text` that the scrambling cannot carry (one outside
// the alphabet would reach the host as another character), or a null QChar.
QChar firstUncarriedCharacter(const QString& text);
// A saved scrambled password is usable only as the whole field.
bool isScrambledPassword(const std::string& saved);
}  // namespace SignOnScrambling

// What the sign-on came to: done, with both credentials scrambled (10 and
// 128 characters); stopped when the dialog timed out and the user chose to
// retry: the caller starts its connection over.
struct SignOnResult {
    Outcome outcome;
    std::string userId;
    std::string password;
};

// Takes the credentials from the remembered values or from the sign-on
// dialog (`prompt`); gUserId and gPassword hold them too.
SignOnResult SignOn(Services& services, ConnectionState& state, HostLink& link, SignOnPrompt& prompt);
