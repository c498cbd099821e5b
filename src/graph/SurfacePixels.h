#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The pixel work of a 32-bit surface whose pixels are 0x00RRGGBB (a DIB's BGRA in memory), kept apart
// from the system so that it can be checked on any machine.

// &H00BBGGRR and the DIB's 0x00RRGGBB are the same bytes in the other order; the top byte is kept.
uint32_t SwapRedBlue(uint32_t colour);

// Each colour channel of `colour` over `target` by that channel's coverage (0 target, 255 colour),
// rounded to nearest; the top byte of the result is 0.
uint32_t BlendChannels(uint32_t target, uint32_t colour, uint32_t coverage);

// How much of each colour channel a character's strokes cover (0x00RRGGBB, 0 where the background
// shows), cropped to the strokes: Left and Top are where the crop starts in the cell it was drawn in.
struct GlyphCoverage {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Coverage;
};

// The coverage of a character drawn white on black into `cell` (rows of `width` pixels, top first);
// empty (Width 0) when nothing was drawn. Only the colour channels count.
GlyphCoverage CoverageOfCell(const uint32_t* cell, int width, int height);

// Draws `colour` through a glyph's coverage with its crop's top left at (x, y) of a surface of
// width x height pixels; what lies outside the surface is left out, however far.
void DrawCoverage(uint32_t* pixels, int width, int height, int64_t x, int64_t y, const GlyphCoverage& glyph,
                  uint32_t colour);

// Copies the top left rectangle that a source of sw x sh pixels and a target of tw x th pixels share;
// the rest of the target is left as it was.
void CopyOverlap(uint32_t* target, int tw, int th, const uint32_t* source, int sw, int sh);

// A picture's 0xAABBGGRR pixels as the premultiplied BGRA (0xAARRGGBB) that alpha blending takes;
// colours are premultiplied only where the picture has transparency.
void PictureToPremultipliedBgra(const uint32_t* source, size_t count, bool hasAlpha, uint32_t* target);
