#include "SignOnScramble.h"

#include <cstring>

namespace SignOnScramble {
const char* const kAlphabet =
    "aZ0 bY1!cX2#dW3$eV4%fU5&gT6'hS7(iR8)jQ9*kP+lO,mN-nM.oL/pK:qJ;rI<sH=tG>uF?vE@wD[xC\\yB]zA^_`{|}~";

namespace {
constexpr int kSize = 94;

int positionOf(char c) {
    const char* p = std::strchr(kAlphabet, c);
    return (p && c != '\0') ? static_cast<int>(p - kAlphabet) + 1 : 0;
}
}  // namespace

std::string scramble(const std::string& field) {
    std::string out = field;
    for (size_t idx = 0; idx < out.size(); ++idx) {
        const int i = static_cast<int>(idx) + 1;
        int n = positionOf(out[idx]) + i;
        if (n > kSize) n -= kSize;
        if (n <= kSize) out[idx] = kAlphabet[n - 1];
    }
    return out;
}

std::string scrambledField(const std::string& text, size_t width) {
    std::string f = text.substr(0, width);
    f.resize(width, ' ');
    return scramble(f);
}

std::string unscrambleUserId(const std::string& field) {
    std::string out = field;
    for (size_t idx = 0; idx < out.size(); ++idx) {
        const int i = static_cast<int>(idx) + 1;
        const int m = positionOf(out[idx]);
        if (m == 0) continue;
        int k = m - i;
        if (k < 1) k += kSize;
        out[idx] = kAlphabet[k - 1];
    }
    return out;
}
}  // namespace SignOnScramble
