#include "base/AppError.h"
#include "meter/cAnchor.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
struct Container {
    double width = 1000, height = 500;
};

// A control as the toolkit has them: it refuses a negative size. It records the properties written,
// in order, one letter each. Gaps to a 1000 x 500 container: right 90, bottom 80.
struct FakeControl : IAnchorControl {
    FakeControl(Container& parent, double left = 10) : parent(parent), v{left, 20, 900, 400} {}
    double Left() override { return v[0]; }
    double Top() override { return v[1]; }
    double Width() override { return v[2]; }
    double Height() override { return v[3]; }
    void SetLeft(double value) override { Set(0, value); }
    void SetTop(double value) override { Set(1, value); }
    void SetWidth(double value) override { Set(2, value); }
    void SetHeight(double value) override { Set(3, value); }
    double ParentScaleWidth() override { return parent.width; }
    double ParentScaleHeight() override { return parent.height; }
    void Set(int i, double value) {
        if (i >= 2 && value < 0)
            throw AppError(kErrInvalidPropertyValue, {}, "Invalid property value");
        writes += "LTWH"[i];
        v[i] = value;
    }

    Container& parent;
    double v[4]; // left, top, width, height
    std::string writes;
};
} // namespace

TEST(cAnchor, EachAnchorCombinationMovesStretchesOrLeavesTheControl) {
    Container parent;
    cAnchor anchor;
    const int32_t combos[] = {15, 2, 8 | 1, 2 | 8, 1 | 2, 4 | 8, 0, 1, 1 | 4};
    std::vector<std::shared_ptr<FakeControl>> c;
    for (int32_t anchors : combos) {
        c.push_back(std::make_shared<FakeControl>(parent));
        anchor.AddControl(c.back(), anchors);
    }
    parent = {1200, 450};
    anchor.DoResize();
    const char* writes[] = {"WH", "L", "T", "LT", "W", "H", "", "", ""};
    for (size_t i = 0; i < c.size(); ++i)
        EXPECT_EQ(c[i]->writes, writes[i]) << combos[i];
    EXPECT_EQ(c[1]->v[0], 210);  // right alone: moved, gap kept
    EXPECT_EQ(c[2]->v[1], -30);  // bottom alone: moved, gap kept
    EXPECT_EQ(c[0]->v[2], 1100); // both: stretched
    EXPECT_EQ(c[0]->v[3], 350);

    // Narrower than the gaps: the width is refused and keeps its last value; the height after it and
    // the next control still follow.
    parent = {60, 300};
    anchor.DoResize();
    EXPECT_EQ(c[0]->v[2], 1100) << "the refused width keeps its last value";
    EXPECT_EQ(c[0]->v[3], 200) << "the height after it still follows";
    EXPECT_EQ(c[5]->v[3], 200) << "the next control still follows";

    // Nothing is registered that cannot be measured.
    EXPECT_THROW(anchor.AddControl(nullptr, 15), AppError);
    EXPECT_THROW(anchor.AddControl(std::make_shared<FakeControl>(parent, -5e9), 15), AppError)
        << "a gap beyond 32 bits";
    EXPECT_EQ(anchor.Count(), c.size());
}
