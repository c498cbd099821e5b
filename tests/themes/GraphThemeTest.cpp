#include "graph/cGraph.h"
#include "settings/FakeRegistry.h"
#include "settings/mRegistry.h"
#include "themes/cGraphTheme.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
const std::string kTitle = "VantorelThemeTest";

// Refuses every value write after the first `budget`, as a full registry or a lost permission would.
class FailingRegistry : public FakeRegistry {
public:
    int budget = 1 << 30;
    bool refuseDeletes = false;
    int32_t DeleteTree(RegHandle parent, const std::string& subKey) override {
        return refuseDeletes ? kErrorAccessDenied : FakeRegistry::DeleteTree(parent, subKey);
    }
    int32_t SetValue(RegHandle key, const std::string& name, uint32_t type, const uint8_t* data,
                     uint32_t size) override {
        if (budget-- <= 0)
            return kErrorAccessDenied;
        return FakeRegistry::SetValue(key, name, type, data, size);
    }
};

class GraphTheme : public testing::Test {
protected:
    void Write(const std::string& theme, const std::string& key, const std::string& value) {
        WriteSetting(kHKeyCurrentUser, kTitle, "Themes\\" + theme, key, value);
    }
    std::string Read(const std::string& theme, const std::string& key) {
        return ReadSetting(kHKeyCurrentUser, kTitle, "Themes\\" + theme, key, "<missing>");
    }
    static std::vector<std::string> Custom(cGraphTheme& themes) {
        auto names = themes.EnumThemes();
        return {names.begin() + 4, names.end()};
    }

    FailingRegistry registry;
    ScopedRegistryApi use{registry};
    cGraphTheme themes{kTitle};
    cGraph graph;
};
} // namespace

TEST_F(GraphTheme, WithoutSavedThemesOnlyTheFourBuiltInOnesAreListed) {
    themes.RegistryRead();
    EXPECT_EQ(themes.EnumThemes(), (std::vector<std::string>{"Standard", "Task Manager", "Clouds", "River"}));
    EXPECT_EQ(themes.NumThemes(), 4) << "the count agrees with the list";
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(GraphTheme, SavingRefusesBuiltInAndReadOnlyNamesAndMovesResavedThemesToTheEnd) {
    EXPECT_FALSE(themes.SaveTheme("Standard", graph));
    EXPECT_TRUE(themes.SaveTheme("standard", graph)) << "the built-in check is case-sensitive";
    EXPECT_TRUE(themes.SaveTheme("A", graph));
    EXPECT_TRUE(themes.SaveTheme("B", graph));
    EXPECT_TRUE(themes.SaveTheme("a", graph)) << "the same theme as A, saved again";
    EXPECT_EQ(Custom(themes), (std::vector<std::string>{"standard", "B", "a"}));

    Write("Locked", "BackColor", "1");
    Write("Locked", "ReadOnly", "True");
    themes.RegistryRead();
    EXPECT_FALSE(themes.SaveTheme("LOCKED", graph));
    EXPECT_FALSE(themes.CanDelete("Locked"));
    EXPECT_FALSE(themes.CanDelete("River"));
    EXPECT_TRUE(themes.CanDelete("no such theme"));
}

TEST_F(GraphTheme, SaveAndReadBackKeepEveryFieldAndReadOnlyThemesSurviveASave) {
    graph.BackColor = 1;
    graph.SendColor = 2;
    graph.RecvColor = 3;
    graph.BothColor = 4;
    graph.ChartColor = 5;
    graph.NumColor = 6;
    graph.FillUnderGraph = false;
    graph.StretchBackground = true;
    ASSERT_TRUE(themes.SaveTheme("Night", graph));
    Write("Locked", "ReadOnly", "True");
    // What is in memory is what gets saved: read the locked theme first, then save Night again.
    themes.RegistryRead();
    EXPECT_EQ(Custom(themes), (std::vector<std::string>{"Locked"}))
        << "unsaved changes are dropped by a read";
    ASSERT_TRUE(themes.SaveTheme("Night", graph));
    themes.RegistrySave();

    EXPECT_EQ(Read("Night", "BackColor"), "1");
    EXPECT_EQ(Read("Night", "FillUnderGraph"), "False");
    EXPECT_EQ(Read("Night", "StretchBackground"), "True");
    EXPECT_EQ(Read("Night", "ReadOnly"), "<missing>");
    EXPECT_EQ(Read("Locked", "ReadOnly"), "True");

    cGraphTheme other(kTitle);
    other.RegistryRead();
    ASSERT_NE(other.Items().Item("night"), nullptr);
    const cGraphThemeItem& night = *other.Items().Item("Night");
    EXPECT_EQ(night.SendColor, 2);
    EXPECT_EQ(night.RecvColor, 3);
    EXPECT_EQ(night.BothColor, 4);
    EXPECT_EQ(night.ChartColor, 5);
    EXPECT_EQ(night.NumColor, 6);
    EXPECT_TRUE(night.StretchBackground);

    other.DeleteTheme("night");
    other.DeleteTheme("Locked"); // callers ask CanDelete first; the catalogue itself does not refuse
    other.RegistrySave();
    cGraphTheme third(kTitle);
    third.RegistryRead();
    EXPECT_TRUE(Custom(third).empty());
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(GraphTheme, ApplyingACustomThemeCopiesItsFieldsAndKeepsTheStyle) {
    graph.SetStyle(1);
    Write("Odd", "BackColor", "123");
    Write("Odd", "SendColor", "garbage");
    Write("Odd", "FillUnderGraph", "1");
    themes.RegistryRead();
    const int32_t sendBefore = graph.SendColor;
    themes.ApplyTheme("Odd", graph);
    EXPECT_EQ(graph.Style(), 1);
    EXPECT_EQ(graph.BackColor, 123);
    EXPECT_EQ(graph.SendColor, 0) << "an unreadable value gives its field's default" << sendBefore;
    EXPECT_TRUE(graph.FillUnderGraph);
    EXPECT_EQ(graph.BackgroundPicture(), "") << "no Background value: no picture";
    EXPECT_FALSE(graph.StretchBackground);

    themes.ApplyTheme("Clouds", graph);
    EXPECT_EQ(graph.Style(), 2);
    EXPECT_EQ(graph.BackgroundPicture(), "res:Clouds");
    graph.BackColor = 42;
    themes.ApplyTheme("nothing like it", graph);
    EXPECT_EQ(graph.BackColor, 42);
    themes.ApplyTheme("clouds", graph) /* not built-in, no such custom theme */;
    EXPECT_EQ(graph.BackColor, 42);
}

TEST_F(GraphTheme, NamesDifferingOnlyInCaseAreOneTheme) {
    Write("Sky", "BackColor", "1");
    Write("SKY", "BackColor", "2"); // the registry itself keeps one key for both
    themes.RegistryRead();
    EXPECT_EQ(Custom(themes).size(), 1u);
    EXPECT_EQ(themes.Items().Item("sky")->BackColor, 2);
}

TEST_F(GraphTheme, NamesThatCannotBeOneRegistryKeyAreRefused) {
    for (const std::string& name : {std::string(), std::string("Dark\\Blue"), std::string(256, 'x')})
        EXPECT_FALSE(themes.SaveTheme(name, graph)) << name;
    EXPECT_TRUE(themes.SaveTheme(std::string(255, 'x'), graph));
    EXPECT_TRUE(themes.RegistrySave());
    cGraphTheme other(kTitle);
    other.RegistryRead();
    EXPECT_EQ(Custom(other), std::vector<std::string>{std::string(255, 'x')});
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
    registry.budget = 12; // Kept written in full, New in part
    EXPECT_FALSE(themes.RegistrySave());
    cGraphTheme other(kTitle);
    other.RegistryRead();
    EXPECT_EQ(Custom(other), (std::vector<std::string>{"Kept", "New", "Old"}));
    EXPECT_EQ(other.Items().Item("Old")->BackColor, 1);
    EXPECT_EQ(other.Items().Item("Kept")->BackColor, 2);

    registry.budget = 1 << 30;
    registry.refuseDeletes = true;
    EXPECT_FALSE(themes.RegistrySave()) << "Old could not be removed";
    registry.refuseDeletes = false;
    EXPECT_TRUE(themes.RegistrySave());
    other.RegistryRead();
    EXPECT_EQ(Custom(other), (std::vector<std::string>{"Kept", "New"}));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}
