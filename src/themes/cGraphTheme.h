#pragma once
#include "base/AppInfo.h"
#include "graph/GraphLook.h"

#include <cstdint>
#include <string>
#include <vector>

class cGraph;

// One saved theme: the graph's colours, switches and background picture.
struct cGraphThemeItem {
    std::string Name;
    GraphLook Look;
    bool ReadOnly = false;
    // The values that could not be read: a save leaves their stored text as it is.
    std::vector<std::string> Unreadable;
};

// Themes in insertion order, keyed by name without regard to letter case (as registry keys are).
class cGraphThemeItemCol {
public:
    // False (and nothing added) when a record of that name is already there.
    bool Add(const cGraphThemeItem& item);
    int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
    // The record of that name, or null.
    const cGraphThemeItem* Item(const std::string& name) const;
    // The record at 1-based `position`, or null.
    const cGraphThemeItem* Item(int32_t position) const;
    // Removes the record of that name; a name that matches nothing is ignored.
    void Remove(const std::string& name);

private:
    std::vector<cGraphThemeItem> m_items;
};

// The theme catalogue: four built-in themes and the custom ones saved in the registry under
// Software\<title>\Themes\<name>. Changes reach the registry only through RegistrySave.
class cGraphTheme {
public:
    explicit cGraphTheme(std::string title = kAppTitle);
    ~cGraphTheme();
    cGraphTheme(const cGraphTheme&) = delete;
    cGraphTheme& operator=(const cGraphTheme&) = delete;

    // As many themes as EnumThemes lists.
    int32_t NumThemes();
    // "Standard", "Task Manager", "Clouds", "River", then the custom themes in order.
    std::vector<std::string> EnumThemes();
    // The graph's look as a custom theme; false for a built-in or read-only name, or one that cannot
    // name a registry key of its own (IsStorableThemeName).
    bool SaveTheme(const std::string& Name, const cGraph& Settings);
    void DeleteTheme(const std::string& Name);
    // A built-in theme sets the graph's style; a custom one copies its fields. Unknown names do nothing.
    void ApplyTheme(const std::string& Name, cGraph& Settings);
    bool CanDelete(const std::string& Name) const;
    // Writes the custom themes over the saved ones (read-only ones stay as they are), then removes the saved
    // ones no longer listed; a failure part-way leaves every theme that was saved readable, and gives false.
    bool RegistrySave();
    void RegistryRead();

    const cGraphThemeItemCol& Items() const { return m_items; }

private:
    std::string ThemesSection() const { return "Themes"; }
    std::string ThemeSection(const std::string& name) const { return ThemesSection() + "\\" + name; }
    // The names of the themes in the registry, in the order it lists them; `complete` false when the
    // registry stopped the listing early.
    std::vector<std::string> SavedNames(bool& complete) const;
    bool RemoveUnlisted();

    std::string m_title;
    cGraphThemeItemCol m_items;
    // False when the last read could not list every saved theme: a save then removes only the
    // themes deleted here, not the ones it never saw.
    bool m_listed = true;
    std::vector<std::string> m_deleted;
};

// A name the registry holds as one key under Software\<title>\Themes: not empty, no backslash, and the
// whole key path at most 255 characters.
bool IsStorableThemeName(const std::string& name, const std::string& title = kAppTitle);

// The style number of a built-in theme name (exact, case-sensitive), or -1.
int32_t BuiltInThemeStyle(const std::string& name);
