#include "graph/cGraph.h"
#include "settings/mRegistry.h"
#include "support/FakeRegistry.h"
#include "support/ScopedSeam.h"
#include "themes/ThemeEditorRules.h"
#include "themes/cGraphTheme.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
const std::string kTitle = "VantorelThemeTest";
using Names = std::vector<std::string>;

class GraphTheme : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(registry.OpenHandleCount(), 0u); }
    void Write(const std::string& theme, const std::string& key, const std::string& value) {
        WriteSetting(kHKeyCurrentUser, kTitle, "Themes\\" + theme, key, value);
    }
    std::string Read(const std::string& theme, const std::string& key) {
        return ReadSetting(kHKeyCurrentUser, kTitle, "Themes\\" + theme, key, "<missing>");
    }
    // The custom themes, behind the four built-in ones.
    static Names Listed(cGraphTheme& themes) {
        const Names names = themes.EnumThemes();
        EXPECT_EQ(Names(names.begin(), names.begin() + 4),
                  (Names{"Standard", "Task Manager", "Clouds", "River"}));
        EXPECT_EQ(themes.NumThemes(), static_cast<int32_t>(names.size()));
        return {names.begin() + 4, names.end()};
    }
    static Names Saved(cGraphTheme& themes) {
        themes.RegistryRead();
        return Listed(themes);
    }

    FakeRegistry registry;
    ScopedRegistryApi use{registry};
    cGraphTheme themes{kTitle};
    cGraphTheme other{kTitle};
    cGraph graph;
};
} // namespace

TEST_F(GraphTheme, SavingRefusesBuiltInAndUnstorableNamesAndMovesResavedThemesToTheEnd) {
    EXPECT_EQ(Saved(themes), Names{});
    // The whole key path under the root holds at most 255 characters.
    const size_t room = 255 - ("Software\\" + kTitle + "\\Themes\\").size();
    for (const std::string& name : {std::string("Standard"), std::string("River"), std::string(),
                                    std::string("Dark\\Blue"), std::string(room + 1, 'x')})
        EXPECT_FALSE(themes.SaveTheme(name, graph)) << name;
    EXPECT_TRUE(themes.SaveTheme("standard", graph)) << "the built-in check is case-sensitive";
    EXPECT_TRUE(themes.SaveTheme(std::string(room, 'a'), graph));
    EXPECT_TRUE(themes.SaveTheme("B", graph));
    EXPECT_TRUE(themes.SaveTheme("STANDARD", graph)) << "the same theme saved again";
    EXPECT_EQ(Listed(themes), (Names{std::string(room, 'a'), "B", "STANDARD"}));
    ASSERT_TRUE(themes.RegistrySave());
    EXPECT_EQ(Saved(other), Listed(themes));
}

TEST_F(GraphTheme, EveryFieldIsSavedReadBackAndAppliedAndReadOnlyThemesStayReadOnlyAndUndeletable) {
    for (int32_t code = 1; code <= 6; ++code)
        *PropertyColor(graph, code) = code; // each colour its own value
    graph.FillUnderGraph = false;
    graph.StretchBackground = true;
    ASSERT_TRUE(themes.SaveTheme("Night", graph));
    Write("Locked", "ReadOnly", "True");
    // Read-only by its permissions too, as an administrator may leave a key: saves leave it alone.
    registry.Fault = [](const std::string& call, const std::string& name) {
        return call == "CreateKey" && name.ends_with("\\Locked") ? kErrorAccessDenied : kErrorSuccess;
    };
    // A read drops unsaved changes: Night has to be saved again.
    EXPECT_EQ(Saved(themes), Names{"Locked"});
    EXPECT_FALSE(themes.SaveTheme("LOCKED", graph));
    for (const char* name : {"Locked", "Standard", "River"})
        EXPECT_FALSE(themes.CanDelete(name)) << name;
    ASSERT_TRUE(themes.SaveTheme("Night", graph));
    ASSERT_TRUE(themes.RegistrySave());
    EXPECT_EQ(Read("Night", "FillUnderGraph"), "False");
    EXPECT_EQ(Read("Night", "StretchBackground"), "True");
    EXPECT_EQ(Read("Night", "ReadOnly"), "<missing>");
    EXPECT_EQ(Read("Locked", "ReadOnly"), "True");
    EXPECT_TRUE(themes.CanDelete("Night"));
    EXPECT_TRUE(themes.CanDelete("no such theme"));

    other.RegistryRead();
    cGraph applied;
    applied.SetStyle(1);
    other.ApplyTheme("night", applied);
    EXPECT_EQ(applied.Style(), 1) << "a custom theme keeps the style";
    for (int32_t code = 1; code <= 6; ++code)
        EXPECT_EQ(*PropertyColor(applied, code), code);
    EXPECT_FALSE(applied.FillUnderGraph);
    EXPECT_TRUE(applied.StretchBackground);
}

TEST_F(GraphTheme, ThemesReadAsTheRegistryHoldsThemAndOnlyKnownNamesApply) {
    Write("Odd", "BackColor", "123");
    Write("Odd", "SendColor", "garbage");
    Write("Odd", "FillUnderGraph", "1");
    Write("ODD", "NumColor", "5"); // the registry itself keeps one key for both
    EXPECT_EQ(Saved(themes), Names{"Odd"});
    graph.SendColor = 99;
    themes.ApplyTheme("odd", graph);
    EXPECT_EQ(graph.BackColor, 123);
    EXPECT_EQ(graph.SendColor, 0) << "an unreadable value gives its field's default";
    EXPECT_EQ(graph.NumColor, 5);
    EXPECT_TRUE(graph.FillUnderGraph);
    EXPECT_EQ(graph.BackgroundPicture(), "") << "no Background value: no picture";

    themes.ApplyTheme("Clouds", graph);
    EXPECT_EQ(graph.Style(), 2);
    EXPECT_EQ(graph.BackgroundPicture(), "res:Clouds");
    graph.BackColor = 42;
    themes.ApplyTheme("clouds", graph); // neither built-in nor saved
    EXPECT_EQ(graph.BackColor, 42);
}

TEST_F(GraphTheme, ASaveThatFailsPartWayLosesNoSavedTheme) {
    graph.BackColor = 1;
    themes.SaveTheme("Old", graph);
    themes.SaveTheme("Kept", graph);
    ASSERT_TRUE(themes.RegistrySave());
    themes.DeleteTheme("Old");
    graph.BackColor = 2;
    themes.SaveTheme("Kept", graph);
    themes.SaveTheme("New", graph);
    // A registry that fills up: Kept is written in full, New in part.
    int budget = 12;
    registry.Fault = [&budget](const std::string& call, const std::string&) {
        return call == "SetValue" && budget-- <= 0 ? kErrorAccessDenied : kErrorSuccess;
    };
    EXPECT_FALSE(themes.RegistrySave());
    EXPECT_EQ(Saved(other), (Names{"Kept", "New", "Old"}));
    EXPECT_EQ(other.Items().Item("Old")->Look.BackColor, 1);
    EXPECT_EQ(other.Items().Item("Kept")->Look.BackColor, 2);

    registry.Fault = [](const std::string& call, const std::string&) {
        return call == "DeleteTree" ? kErrorAccessDenied : kErrorSuccess;
    };
    EXPECT_FALSE(themes.RegistrySave()) << "Old could not be removed";
    registry.Fault = nullptr;
    EXPECT_TRUE(themes.RegistrySave());
    EXPECT_EQ(Saved(other), (Names{"Kept", "New"}));
}

// Text that does not convert (another program's, or a hand edit) keeps its stored text through a save;
// a listing the registry stopped part-way removes no theme it never saw, only the ones deleted here.
TEST_F(GraphTheme, ASaveKeepsUnreadableValuesAndThemesThatCouldNotBeListed) {
    Write("Odd", "BackColor", "blue");
    Write("Odd", "FillUnderGraph", "maybe");
    Write("Odd", "NumColor", "7");
    Write("Second", "NumColor", "8");
    themes.RegistryRead();
    ASSERT_TRUE(themes.RegistrySave());
    EXPECT_EQ(Read("Odd", "BackColor"), "blue");
    EXPECT_EQ(Read("Odd", "FillUnderGraph"), "maybe");
    EXPECT_EQ(Read("Odd", "NumColor"), "7");
    EXPECT_EQ(Read("Odd", "SendColor"), "<missing>") << "a missing value stays missing";

    registry.Fault = [](const std::string& call, const std::string& name) {
        return call == "EnumKey" && name == "1" ? kErrorAccessDenied : kErrorSuccess;
    };
    EXPECT_EQ(Saved(themes), (Names{"Odd"}));
    themes.DeleteTheme("Odd");
    themes.RegistrySave();
    registry.Fault = nullptr;
    EXPECT_EQ(Saved(other), (Names{"Second"}));
    EXPECT_EQ(Read("Second", "NumColor"), "8");
}
