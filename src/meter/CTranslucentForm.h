#pragma once
#include <windows.h>

#include <cstdint>

// Makes one top-level window translucent through the layered-window facility, either by a uniform
// opacity or by a colour key. Each property write takes effect at once; the object's end makes the
// window opaque and unlayered again. Where layered windows are missing (before Windows 2000) every
// write except Mode does nothing.
class CTranslucentForm {
public:
    static constexpr int32_t kModeNone = 0;
    static constexpr int32_t kModeColorKey = 1; // LWA_COLORKEY
    static constexpr int32_t kModeAlpha = 2;    // LWA_ALPHA

    CTranslucentForm();
    // As on a system that reports `osMajorVersion`: layered windows need 5 or more.
    explicit CTranslucentForm(DWORD osMajorVersion);
    ~CTranslucentForm();
    CTranslucentForm(const CTranslucentForm&) = delete;
    CTranslucentForm& operator=(const CTranslucentForm&) = delete;

    // Opacity in opacity mode, 255 opaque. In opacity mode the value is kept only when the system took
    // it; in the other modes writing it switches to opacity mode.
    uint8_t Alpha() const { return m_alpha; }
    void SetAlpha(uint8_t value);
    // The colour made transparent; a negative key is a system colour index in its low bits. In colour-key
    // mode the value is kept only when the system took it; otherwise writing it switches to that mode.
    int32_t ColorKey() const { return m_colorKey; }
    void SetColorKey(int32_t value);
    // The layered window: writing unlayers the previous one and layers the new one at full opacity.
    HWND hWnd() const { return m_window; }
    void SethWnd(HWND window);
    // 0 not layered, 1 colour key, 2 opacity; any other value is ignored.
    int32_t Mode() const { return m_mode; }
    void SetMode(int32_t value);
    bool Supported() const { return m_supported; }

private:
    bool Layer();
    bool Unlayer();
    bool Apply();
    COLORREF TranslatedColorKey(int32_t key) const;

    bool m_supported = false;
    HWND m_window = nullptr;
    uint8_t m_alpha = 255;
    int32_t m_colorKey = static_cast<int32_t>(0x8000000Fu); // the button face's system colour
    int32_t m_mode = kModeAlpha;
};
