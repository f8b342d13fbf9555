#pragma once
// Small helpers for the fuzz targets: the input as bytes, cut into the fixed
// blocks the host link hands over.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {
inline std::string bytes(const uint8_t* data, size_t size) { return std::string(reinterpret_cast<const char*>(data), size); }

// The input as reply blocks of `length` characters, the last one padded with
// blanks, as the link passes them on.
inline std::vector<std::string> blocks(const std::string& input, size_t length) {
    std::vector<std::string> out;
    for (size_t off = 0; off < input.size() || out.empty(); off += length) {
        std::string b = input.substr(std::min(off, input.size()), length);
        b.resize(length, ' ');
        out.push_back(std::move(b));
    }
    return out;
}
}  // namespace fuzz
