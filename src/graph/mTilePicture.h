#pragma once
#include "graph/GraphPicture.h"
#include "graph/GraphSurface.h"

// Copies of the picture at its natural size from the top-left corner, down each column and then
// across, until the whole surface is covered. A picture with no width or height draws nothing.
void TilePicture(const GraphPicture& picture, IGraphSurface& surface);
// The whole picture scaled over the whole surface; the aspect ratio is not kept.
void StretchPicture(const GraphPicture& picture, IGraphSurface& surface);
