#include "themes/ThemeEditorRules.h"
#include "graph/cGraph.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

TEST(ThemeEditorRules, TheSampleCrossesAndItsColoursArePickedByProperty) {
    cGraph graph;
    AddSampleData(graph, 5);
    const auto& in = graph.InQueue().Contents();
    const auto& out = graph.OutQueue().Contents();
    ASSERT_EQ(in.size(), 5u);
    EXPECT_EQ(
        (std::vector<int32_t>{ItemValue(in[0]), ItemValue(in[4]), ItemValue(out[0]), ItemValue(out[4])}),
        (std::vector<int32_t>{16, 0, 1, 25}));
    EXPECT_DOUBLE_EQ(graph.ScaleExact(), 25 * 1.05) << "the scale follows the data";

    // Property codes name their colours, and picking finds the first equal one.
    std::vector<std::string> texts;
    for (const ThemeProperty& property : ThemeProperties()) {
        texts.emplace_back(property.Text);
        *PropertyColor(graph, property.Code) = property.Code * 111;
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Back Color", "Grid Color", "Send Color", "Receive Color",
                                               "Send & Receive Color", "Numerical Display Text Color"}));
    EXPECT_EQ((std::vector<int32_t>{graph.BackColor, graph.ChartColor, graph.SendColor, graph.RecvColor,
                                    graph.BothColor, graph.NumColor}),
              (std::vector<int32_t>{111, 222, 333, 444, 555, 666}));
    EXPECT_EQ(PropertyColor(graph, 0), nullptr);
    EXPECT_EQ(PropertyColor(graph, 7), nullptr);
    for (int32_t code = 1; code <= 6; ++code)
        EXPECT_EQ(PropertyAt(graph, code * 111), code);
    EXPECT_EQ(PropertyAt(graph, 0x123456), 0);
    graph.SetStyle(1); // Task Manager: read-out and overlap both green
    EXPECT_EQ(PropertyAt(graph, 0x00FF00), 5);
}

TEST(ThemeEditorRules, SaveAsOnlyForTheEditedLookAndDeleteOnlyForDeletableThemes) {
    // (edited look, deletable theme) -> Save As, Delete
    for (const auto& [edited, deletable, save, del] :
         {std::tuple{true, true, true, false}, {false, true, false, true}, {false, false, false, false}}) {
        EXPECT_EQ(ThemeButtonStates(edited, deletable).Save, save) << edited << deletable;
        EXPECT_EQ(ThemeButtonStates(edited, deletable).Delete, del) << edited << deletable;
    }
}
