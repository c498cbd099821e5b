#pragma once
#include <cstddef>
#include <cstdint>

// What a background picture may cost before it is decoded: a graph background needs neither a huge
// file nor a huge picture, and decoding one would exhaust a 32-bit process.
inline constexpr int64_t kMaxPictureFileBytes = 32ll * 1024 * 1024;
inline constexpr int64_t kMaxPicturePixels = 16ll * 1000 * 1000;
// How much of the start of a file DeclaredPictureSize is given: where every format it knows states
// its size.
inline constexpr size_t kPictureHeadBytes = 1024 * 1024;

// The size a picture file states for itself, read from its first bytes (bitmap, GIF, JPEG, icon).
struct DeclaredSize {
    bool Known = false; // false for a format not recognised, or a head too short to say
    int64_t Width = 0;
    int64_t Height = 0;
};
DeclaredSize DeclaredPictureSize(const uint8_t* head, size_t length);

// 0 when a file of `fileBytes` that starts with `head` may be decoded; otherwise the error number of
// the refusal (E_OUTOFMEMORY), before any decoding has been done. A format whose size cannot be read
// here is left to the decoder, whose result is measured again.
int32_t CheckPictureFile(int64_t fileBytes, const uint8_t* head, size_t length);

// The error number of a picture refused for its size (E_OUTOFMEMORY).
inline constexpr int32_t kErrPictureTooLarge = static_cast<int32_t>(0x8007000Eu);
