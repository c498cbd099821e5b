#include "history/Crc32.h"

#include <array>

namespace {
// Eight tables, so that eight bytes are folded in per step (slicing-by-8): reading a year of history
// checks every byte of it once.
using Tables = std::array<std::array<uint32_t, 256>, 8>;

constexpr Tables MakeTables() {
    Tables t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i)
        for (std::size_t s = 1; s < 8; ++s)
            t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    return t;
}
constexpr Tables kTables = MakeTables();
} // namespace

uint32_t Crc32(const uint8_t* data, std::size_t count, uint32_t crc) {
    crc = ~crc;
    for (; count >= 8; data += 8, count -= 8) {
        const uint32_t lo =
            crc ^ (static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                   static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24);
        crc = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF] ^
              kTables[4][lo >> 24] ^ kTables[3][data[4]] ^ kTables[2][data[5]] ^ kTables[1][data[6]] ^
              kTables[0][data[7]];
    }
    for (; count > 0; ++data, --count)
        crc = kTables[0][(crc ^ *data) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
