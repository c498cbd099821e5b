#include "themes/cGraphTheme.h"
#include "base/AppError.h"
#include "base/Convert.h"
#include "base/mLogging.h"
#include "graph/cGraph.h"
#include "settings/cRegistry.h"
#include "settings/mRegistry.h"

#include <algorithm>
#include <cctype>
#include <exception>

namespace {
const char* const kBuiltIn[] = {"Standard", "Task Manager", "Clouds", "River"};

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

bool IsStorableThemeName(const std::string& name, const std::string& title) {
    // The registry's limit of 255 characters holds for the whole path below the root; a longer name
    // would be listed and then fail every later save.
    const size_t path = ("Software\\" + title + "\\Themes\\").size();
    return !name.empty() && path + name.size() <= 255 && name.find('\\') == std::string::npos;
}

int32_t BuiltInThemeStyle(const std::string& name) {
    for (int32_t i = 0; i < 4; ++i) {
        if (name == kBuiltIn[i])
            return i;
    }
    return -1;
}

bool cGraphThemeItemCol::Add(const cGraphThemeItem& item) {
    if (Item(item.Name))
        return false;
    m_items.push_back(item);
    return true;
}

const cGraphThemeItem* cGraphThemeItemCol::Item(const std::string& name) const {
    for (const auto& item : m_items) {
        if (SameName(item.Name, name))
            return &item;
    }
    return nullptr;
}

const cGraphThemeItem* cGraphThemeItemCol::Item(int32_t position) const {
    if (position < 1 || position > Count())
        return nullptr;
    return &m_items[static_cast<size_t>(position - 1)];
}

void cGraphThemeItemCol::Remove(const std::string& name) {
    std::erase_if(m_items, [&](const cGraphThemeItem& item) { return SameName(item.Name, name); });
}

cGraphTheme::cGraphTheme(std::string title) : m_title(std::move(title)) {
    WriteLog("cGraphTheme_Initialize");
}

cGraphTheme::~cGraphTheme() {
    WriteLog("cGraphTheme_Terminate");
}

int32_t cGraphTheme::NumThemes() {
    WriteLog("cGraphTheme_NumThemes");
    return m_items.Count() + 4;
}

std::vector<std::string> cGraphTheme::EnumThemes() {
    WriteLog("cGraphTheme_EnumThemes");
    std::vector<std::string> names(std::begin(kBuiltIn), std::end(kBuiltIn));
    for (int32_t i = 1; i <= m_items.Count(); ++i)
        names.push_back(m_items.Item(i)->Name);
    return names;
}

bool cGraphTheme::SaveTheme(const std::string& Name, const cGraph& Settings) {
    WriteLog("cGraphTheme_SaveTheme: " + Name);
    if (BuiltInThemeStyle(Name) >= 0 || !IsStorableThemeName(Name, m_title))
        return false;
    if (const auto* existing = m_items.Item(Name); existing && existing->ReadOnly)
        return false;
    cGraphThemeItem item;
    item.Name = Name;
    item.Look = Settings.Look();
    // Saving again moves the theme to the end of the order.
    m_items.Remove(Name);
    m_items.Add(item);
    return true;
}

void cGraphTheme::DeleteTheme(const std::string& Name) {
    WriteLog("cGraphTheme_DeleteTheme: " + Name);
    if (m_items.Item(Name))
        m_deleted.push_back(Name);
    m_items.Remove(Name);
}

void cGraphTheme::ApplyTheme(const std::string& Name, cGraph& Settings) {
    WriteLog("cGraphTheme_ApplyTheme: " + Name);
    if (const int32_t style = BuiltInThemeStyle(Name); style >= 0) {
        Settings.SetStyle(style);
        return;
    }
    const cGraphThemeItem* item = m_items.Item(Name);
    if (!item)
        return;
    IgnoringErrors([&] { Settings.SetLook(item->Look); });
}

bool cGraphTheme::CanDelete(const std::string& Name) const {
    if (BuiltInThemeStyle(Name) >= 0)
        return false;
    const cGraphThemeItem* item = m_items.Item(Name);
    return !(item && item->ReadOnly);
}

bool cGraphTheme::RegistrySave() {
    WriteLog("cGraphTheme_RegistrySave");
    try {
        for (int32_t i = 1; i <= m_items.Count(); ++i) {
            const cGraphThemeItem& item = *m_items.Item(i);
            // Only read from the registry and never changed here: its key stays as it was made, and
            // may be one that cannot be written.
            if (item.ReadOnly)
                continue;
            for (const GraphLookField& field : GraphLookFields()) {
                if (std::ranges::find(item.Unreadable, field.Key) == item.Unreadable.end())
                    WriteSetting(kHKeyCurrentUser, m_title, ThemeSection(item.Name), field.Key,
                                 field.Text(item.Look));
            }
            // A theme written over one that was read-only before must not stay read-only.
            DeleteSetting(kHKeyCurrentUser, m_title, ThemeSection(item.Name), "ReadOnly");
        }
        return RemoveUnlisted();
    } catch (const std::exception& error) {
        WriteLog(std::string("cGraphTheme_RegistrySave failed: ") + error.what());
        return false;
    }
}

std::vector<std::string> cGraphTheme::SavedNames(bool& complete) const {
    cRegistry reg;
    reg.SetClassKey(kHKeyCurrentUser);
    reg.SetSectionKey("Software\\" + m_title + "\\" + ThemesSection());
    std::vector<std::string> names;
    int32_t count = 0;
    complete = reg.EnumerateSections(names, count);
    return names;
}

// Saved themes that are no longer in the catalogue go only once the whole new set is written.
bool cGraphTheme::RemoveUnlisted() {
    bool removed = true;
    bool complete = true;
    const std::vector<std::string> saved = m_listed ? SavedNames(complete) : m_deleted;
    for (const std::string& name : complete ? saved : std::vector<std::string>{}) {
        if (m_items.Item(name))
            continue;
        cRegistry theme;
        theme.SetClassKey(kHKeyCurrentUser);
        theme.SetSectionKey("Software\\" + m_title + "\\" + ThemeSection(name));
        removed = theme.DeleteKey() && removed;
    }
    return removed;
}

void cGraphTheme::RegistryRead() {
    WriteLog("cGraphTheme_RegistryRead");
    m_items = cGraphThemeItemCol();
    m_deleted.clear();
    std::vector<std::string> names;
    m_listed = false;
    if (LoggingErrors("cGraphTheme_RegistryRead", [&] { names = SavedNames(m_listed); }) && !m_listed)
        WriteLog("cGraphTheme_RegistryRead: the saved themes could not all be listed");
    for (const std::string& name : names) {
        cGraphThemeItem item;
        item.Name = name;
        const std::string section = ThemeSection(name);
        auto read = [&](const char* key) { return ReadSetting(kHKeyCurrentUser, m_title, section, key, ""); };
        // A value that does not convert (a missing one too) keeps its field's default here and its text
        // in the registry.
        for (const GraphLookField& field : GraphLookFields()) {
            if (!field.Parse(item.Look, read(field.Key)))
                item.Unreadable.emplace_back(field.Key);
        }
        IgnoringErrors([&] { item.ReadOnly = CBool(read("ReadOnly")); });
        m_items.Add(item); // a second name equal but for letter case is skipped
    }
}
