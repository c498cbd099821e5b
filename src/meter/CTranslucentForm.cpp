#include "meter/CTranslucentForm.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is 148 bytes on 32 bits");
#endif

namespace {

DWORD ReportedMajorVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) ? info.dwMajorVersion : 0;
}

LONG ExStyle(HWND window) {
    return GetWindowLongA(window, GWL_EXSTYLE);
}

// SetWindowLongA returns the previous style, which may well be 0: only the error code tells failure.
bool WriteExStyle(HWND window, LONG style) {
    SetLastError(0);
    return SetWindowLongA(window, GWL_EXSTYLE, style) != 0 || GetLastError() == 0;
}

} // namespace

CTranslucentForm::CTranslucentForm() : CTranslucentForm(ReportedMajorVersion()) {}

CTranslucentForm::CTranslucentForm(DWORD osMajorVersion) : m_supported(osMajorVersion >= 5) {}

CTranslucentForm::~CTranslucentForm() {
    Unlayer();
}

void CTranslucentForm::SethWnd(HWND window) {
    if (!m_supported)
        return;
    Unlayer();
    m_window = window;
    Layer();
}

void CTranslucentForm::SetMode(int32_t value) {
    if (value == kModeNone) {
        m_mode = value;
        Unlayer();
    } else if (value == kModeColorKey || value == kModeAlpha) {
        m_mode = value;
        Apply();
    }
}

void CTranslucentForm::SetAlpha(uint8_t value) {
    if (!m_supported)
        return;
    if (m_mode == kModeAlpha) {
        if (SetLayeredWindowAttributes(m_window, 0, value, LWA_ALPHA))
            m_alpha = value;
    } else {
        m_alpha = value;
        m_mode = kModeAlpha;
        Apply();
    }
}

void CTranslucentForm::SetColorKey(int32_t value) {
    if (!m_supported)
        return;
    if (m_mode == kModeColorKey) {
        if (SetLayeredWindowAttributes(m_window, TranslatedColorKey(value), 0, LWA_COLORKEY))
            m_colorKey = value;
    } else {
        m_colorKey = value;
        m_mode = kModeColorKey;
        Apply();
    }
}

bool CTranslucentForm::Layer() {
    if (!m_window)
        return false;
    if (!WriteExStyle(m_window, ExStyle(m_window) | WS_EX_LAYERED))
        return false;
    m_alpha = 255;
    return SetLayeredWindowAttributes(m_window, 0, 255, LWA_ALPHA) != FALSE;
}

bool CTranslucentForm::Unlayer() {
    if (!m_window)
        return false;
    SetLayeredWindowAttributes(m_window, 0, 255, LWA_ALPHA);
    return WriteExStyle(m_window, ExStyle(m_window) & ~WS_EX_LAYERED);
}

bool CTranslucentForm::Apply() {
    if (!m_window || m_mode == kModeNone)
        return false;
    // Off and on again, so that the system takes up the new attributes.
    const LONG style = ExStyle(m_window);
    if (!WriteExStyle(m_window, style & ~WS_EX_LAYERED) || !WriteExStyle(m_window, style | WS_EX_LAYERED))
        return false;
    if (m_mode == kModeColorKey)
        return SetLayeredWindowAttributes(m_window, TranslatedColorKey(m_colorKey), 0, LWA_COLORKEY) != FALSE;
    return SetLayeredWindowAttributes(m_window, 0, m_alpha, LWA_ALPHA) != FALSE;
}

COLORREF CTranslucentForm::TranslatedColorKey(int32_t key) const {
    if (key >= 0)
        return static_cast<COLORREF>(key);
    return GetSysColor(static_cast<int>(static_cast<uint32_t>(key) & 0x7FFFFFFFu));
}
