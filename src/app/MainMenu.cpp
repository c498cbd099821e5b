#include "app/MainMenu.h"

MainMenu::MainMenu() {
    m_bar = CreateMenu();
    m_popup = CreatePopupMenu();
    m_style = CreatePopupMenu();

    AppendMenuA(m_style, MF_STRING, mnuThemeFirst, "<Themes>");
    AppendMenuA(m_style, MF_SEPARATOR, 0, nullptr); // Line3
    AppendMenuA(m_style, MF_STRING, mnuThemeCustom, "Customize...");
    m_themeNames = {"<Themes>"};

    AppendMenuA(m_popup, MF_STRING, mnuShow, "Show");
    AppendMenuA(m_popup, MF_STRING, mnuStatistics, "Statistics...");
    AppendMenuA(m_popup, MF_STRING, mnuHistory, "History...");
    AppendMenuA(m_popup, MF_STRING, mnuQuotas, "Quotas...");
    AppendMenuA(m_popup, MF_SEPARATOR, 0, nullptr); // line2
    AppendMenuA(m_popup, MF_STRING, mnuQuillix, "Optimize with Quillix...");
    AppendMenuA(m_popup, MF_STRING, mnuSettings, "Settings...");
    AppendMenuA(m_popup, MF_POPUP, reinterpret_cast<UINT_PTR>(m_style), "Graph Style");
    AppendMenuA(m_popup, MF_SEPARATOR, 0, nullptr); // Line1
    AppendMenuA(m_popup, MF_STRING, mnuExit, "Exit");

    AppendMenuA(m_bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_popup), "Main");
}

MainMenu::~MainMenu() {
    // Destroying the bar destroys its submenus; a menu still attached to a window goes with it.
    if (m_bar && IsMenu(m_bar))
        DestroyMenu(m_bar);
}

void MainMenu::SetQuillixVisible(bool visible) {
    if (visible == m_quillixVisible)
        return;
    if (visible)
        InsertMenuA(m_popup, mnuSettings, MF_BYCOMMAND | MF_STRING, mnuQuillix, "Optimize with Quillix...");
    else
        RemoveMenu(m_popup, mnuQuillix, MF_BYCOMMAND);
    m_quillixVisible = visible;
}

int MainMenu::PositionOf(UINT command) const {
    for (int i = 0; i < GetMenuItemCount(m_popup); ++i)
        if (GetMenuItemID(m_popup, i) == command)
            return i;
    return -1;
}

int MainMenu::StylePosition() const {
    for (int i = 0; i < GetMenuItemCount(m_popup); ++i)
        if (GetSubMenu(m_popup, i) == m_style)
            return i;
    return -1;
}

void MainMenu::SetShowCaption(const char* caption) {
    ModifyMenuA(m_popup, mnuShow, MF_BYCOMMAND | MF_STRING, mnuShow, caption);
}

std::string MainMenu::ShowCaption() const {
    char text[64] = {};
    GetMenuStringA(m_popup, mnuShow, text, sizeof text, MF_BYCOMMAND);
    return text;
}

void MainMenu::SetThemeNames(const std::vector<std::string>& names) {
    // The entry with the lowest index stays and takes the first name; the others are made anew.
    for (int i = ThemeCount() - 1; i >= 1; --i)
        DeleteMenu(m_style, mnuThemeFirst + i, MF_BYCOMMAND);
    m_themeNames.resize(1);
    const int limit = mnuThemeLast - mnuThemeFirst + 1;
    for (size_t i = 0; i < names.size() && static_cast<int>(i) < limit; ++i) {
        const UINT id = mnuThemeFirst + static_cast<UINT>(i);
        if (i == 0) {
            ModifyMenuA(m_style, id, MF_BYCOMMAND | MF_STRING, id, names[0].c_str());
            m_themeNames[0] = names[0];
        } else {
            InsertMenuA(m_style, static_cast<UINT>(i), MF_BYPOSITION | MF_STRING, id, names[i].c_str());
            m_themeNames.push_back(names[i]);
        }
    }
}

std::string MainMenu::ThemeCaption(int index) const {
    if (index < 0 || index >= ThemeCount())
        return {};
    return m_themeNames[static_cast<size_t>(index)];
}
