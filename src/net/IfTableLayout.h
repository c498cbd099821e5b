#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// The byte image of the system's interface table (MIB_IFTABLE): a 32-bit row count followed directly
// by 860-byte MIB_IFROW records. Only the fields the meter reads are named; the Win32 layer checks
// these offsets against the real record.
namespace IfTableLayout {
inline constexpr std::size_t kHeaderSize = 4;
inline constexpr std::size_t kRowSize = 860;
inline constexpr std::size_t kIndex = 512;
inline constexpr std::size_t kType = 516;
inline constexpr std::size_t kInOctets = 552;
inline constexpr std::size_t kOutOctets = 576;
inline constexpr std::size_t kDescrLen = 600;
inline constexpr std::size_t kDescr = 604;
inline constexpr std::size_t kDescrSize = 256;

// Results of the table query, as the system defines them.
inline constexpr uint32_t kNoError = 0;
inline constexpr uint32_t kNotSupported = 50;
inline constexpr uint32_t kInvalidParameter = 87;
inline constexpr uint32_t kInsufficientBuffer = 122;

constexpr std::size_t TableSize(std::size_t rows) {
    return kHeaderSize + rows * kRowSize;
}

inline uint32_t ReadU32(const unsigned char* at) {
    uint32_t v;
    std::memcpy(&v, at, sizeof v);
    return v;
}
inline void WriteU32(unsigned char* at, uint32_t v) {
    std::memcpy(at, &v, sizeof v);
}
} // namespace IfTableLayout
