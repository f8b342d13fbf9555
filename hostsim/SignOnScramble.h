#pragma once
#include <string>

// The positional substitution that the client applies to the user ID (10
// characters) and the password (128 characters) before sign-on. The host
// never unscrambles a password: it scrambles what it expects and compares.
namespace SignOnScramble {
extern const char* const kAlphabet;
// Scrambles every position of the field (1-based positions).
std::string scramble(const std::string& field);
// The blank-padded field of the given width, scrambled.
std::string scrambledField(const std::string& text, size_t width);
// The user ID back from its scrambled 10-character field (upper-case letters,
// digits and the alphabet's other characters come back exactly).
std::string unscrambleUserId(const std::string& field);
}  // namespace SignOnScramble
