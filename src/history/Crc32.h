#pragma once
#include <cstddef>
#include <cstdint>

// CRC-32 as zip and PNG compute it (reflected polynomial 0xEDB88320).
uint32_t Crc32(const uint8_t* data, std::size_t count, uint32_t crc = 0);
