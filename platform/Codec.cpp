#include "Codec.h"

#include <array>

namespace {
// 0x80..0x9F of Windows-1252; 0 marks the five unassigned positions.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace

namespace Codec {

QString toUnicode(std::string_view bytes) {
    // Written in place: a long list decodes some hundred thousand fields.
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* to = out.data();
    for (unsigned char c : bytes) {
        char16_t u = char16_t(c);
        // Unassigned bytes pass through as the C1 control of the same value,
        // so that a round trip gives the byte back.
        if (c >= 0x80 && c <= 0x9F && kHigh[c - 0x80]) u = kHigh[c - 0x80];
        *to++ = QChar(u);
    }
    return out;
}

std::string fromUnicode(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar qc : text) {
        char16_t u = qc.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.push_back(static_cast<char>(u));
            continue;
        }
        char byte = '?';
        if (u >= 0x80 && u <= 0x9F) {
            if (kHigh[u - 0x80] == 0) byte = static_cast<char>(u);
        } else {
            for (size_t i = 0; i < kHigh.size(); ++i)
                if (kHigh[i] == u) {
                    byte = static_cast<char>(0x80 + i);
                    break;
                }
        }
        out.push_back(byte);
    }
    return out;
}

}  // namespace Codec
