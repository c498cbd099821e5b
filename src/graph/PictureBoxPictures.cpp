// The picture box's pictures: each decoded once onto a canvas of its own, then blended, copied or
// stretched onto the drawing.
#include "base/mLogging.h"
#include "graph/PictureBox.h"
#include "graph/PictureBoxCanvas.h"
#include "graph/SurfacePixels.h"

int PictureBox::HimetricToPixelsX(int32_t himetric) const {
    return HimetricToPixels(himetric, m_dpiX);
}
int PictureBox::HimetricToPixelsY(int32_t himetric) const {
    return HimetricToPixels(himetric, m_dpiY);
}

const PictureBox::Canvas* PictureBox::PictureCanvas(const GraphPicture& picture) {
    if (m_pictureCache && m_pictureCacheId == picture.Id())
        return m_pictureCache.get();
    m_pictureCache.reset();
    auto canvas = std::make_unique<Canvas>(picture.Width(), picture.Height());
    if (!canvas->Valid()) {
        WriteLog("PictureBox: no surface for the background picture; it is not drawn");
        return nullptr;
    }
    PictureToPremultipliedBgra(picture.Pixels(), canvas->Count(), picture.HasAlpha(), canvas->Bits());
    m_pictureCache = std::move(canvas);
    m_pictureCacheId = picture.Id();
    return m_pictureCache.get();
}

void PictureBox::DrawPicture(const GraphPicture& picture, int x, int y) {
    const int width = HimetricToPixelsX(picture.WidthHimetric());
    const int height = HimetricToPixelsY(picture.HeightHimetric());
    Blit(picture, x, y, width, height, 0, 0, width, height);
}

void PictureBox::DrawPicture(const GraphPicture& picture, int dx, int dy, int dw, int dh, int sx, int sy,
                             int sw, int sh) {
    Blit(picture, dx, dy, dw, dh, sx, sy, sw, sh);
}

void PictureBox::Blit(const GraphPicture& picture, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                      int sh) {
    const int naturalWidth = HimetricToPixelsX(picture.WidthHimetric());
    const int naturalHeight = HimetricToPixelsY(picture.HeightHimetric());
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || naturalWidth <= 0 || naturalHeight <= 0 ||
        picture.Width() <= 0 || picture.Height() <= 0)
        return;
    const Canvas* canvas = PictureCanvas(picture);
    if (!canvas)
        return;
    const Canvas& source = *canvas;
    // Source coordinates are natural-size pixels; the picture's own pixels may differ in number.
    const auto scale = [](int v, int own, int natural) {
        return static_cast<int>(static_cast<int64_t>(v) * own / natural);
    };
    const int px = scale(sx, picture.Width(), naturalWidth), py = scale(sy, picture.Height(), naturalHeight);
    const int pw = scale(sw, picture.Width(), naturalWidth), ph = scale(sh, picture.Height(), naturalHeight);
    if (pw <= 0 || ph <= 0)
        return;
    HDC dc = m_canvas->Dc();
    if (picture.HasAlpha()) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(dc, dx, dy, dw, dh, source.Dc(), px, py, pw, ph, blend);
    } else if (dw == pw && dh == ph) {
        BitBlt(dc, dx, dy, dw, dh, source.Dc(), px, py, SRCCOPY);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, dx, dy, dw, dh, source.Dc(), px, py, pw, ph, SRCCOPY);
    }
    m_gdiPending = true;
}
