#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The controller's menu tree: a menu bar whose one entry "Main" heads the tray popup.
// A hidden entry takes no position, so hiding the Quillix entry removes it from the popup.
class MainMenu {
public:
    enum Command : UINT {
        mnuShow = 100,
        mnuStatistics,
        mnuQuillix,
        mnuSettings,
        mnuThemeCustom,
        mnuExit,
        mnuHistory,
        mnuQuotas,
        mnuThemeFirst = 200, // mnuTheme(i) is mnuThemeFirst + i
        mnuThemeLast = 999,
    };

    MainMenu();
    ~MainMenu();
    MainMenu(const MainMenu&) = delete;
    MainMenu& operator=(const MainMenu&) = delete;

    HMENU Bar() const { return m_bar; }
    HMENU Popup() const { return m_popup; } // mnuMain
    HMENU StyleMenu() const { return m_style; }

    // The place of a command entry in the popup, or -1 when it is not there (a hidden entry).
    int PositionOf(UINT command) const;
    // The place of "Graph Style".
    int StylePosition() const;

    void SetQuillixVisible(bool visible);
    bool QuillixVisible() const { return m_quillixVisible; }
    void SetShowCaption(const char* caption); // "Show" or "Hide"
    std::string ShowCaption() const;

    // Rebuilds the theme entries: one per name, in order, above the separator and "Customize...".
    void SetThemeNames(const std::vector<std::string>& names);
    int ThemeCount() const { return static_cast<int>(m_themeNames.size()); }
    // The caption of theme entry `index`, or empty text when there is none.
    std::string ThemeCaption(int index) const;

private:
    HMENU m_bar = nullptr;
    HMENU m_popup = nullptr;
    HMENU m_style = nullptr;
    bool m_quillixVisible = true;
    std::vector<std::string> m_themeNames;
};
