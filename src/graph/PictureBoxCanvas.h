#pragma once
#include "graph/PictureBox.h"
#include "winsys/DibCanvas.h"

// Text is drawn on a canvas without filling behind it.
class PictureBox::Canvas : public DibCanvas {
public:
    Canvas(int width, int height) : DibCanvas(width, height) {
        if (Valid())
            SetBkMode(Dc(), TRANSPARENT);
    }
};
