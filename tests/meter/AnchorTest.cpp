#include "app/AppError.h"
#include "meter/cAnchor.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
struct Container {
    double scaleWidth = 1000;
    double scaleHeight = 500;
};

// A control as the toolkit has them: it refuses a negative size, and may lack a property.
class FakeControl : public IAnchorControl {
public:
    FakeControl(Container& parent, double left, double top, double width, double height)
        : parent(parent), left(left), top(top), width(width), height(height) {}

    double Left() override { return Read("Left", left); }
    double Top() override { return Read("Top", top); }
    double Width() override { return Read("Width", width); }
    double Height() override { return Read("Height", height); }
    void SetLeft(double v) override { Write("Left", left, v); }
    void SetTop(double v) override { Write("Top", top, v); }
    void SetWidth(double v) override { Write("Width", width, v, true); }
    void SetHeight(double v) override { Write("Height", height, v, true); }
    double ParentScaleWidth() override { return parent.scaleWidth; }
    double ParentScaleHeight() override { return parent.scaleHeight; }

    Container& parent;
    double left, top, width, height;
    std::string missing; // the one property this control lacks, if any
    std::vector<std::string> writes;

private:
    double Read(const std::string& name, double v) const {
        if (name == missing)
            throw AppError(438, {}, "Object doesn't support this property or method");
        return v;
    }
    void Write(const std::string& name, double& field, double v, bool isSize = false) {
        Read(name, 0);
        if (isSize && v < 0)
            throw AppError(kErrInvalidPropertyValue, {}, "Invalid property value");
        writes.push_back(name);
        field = v;
    }
};

std::shared_ptr<FakeControl> Add(cAnchor& anchor, Container& parent, int32_t anchors) {
    // Gaps: right 1000 - (10 + 900) = 90, bottom 500 - (20 + 400) = 80.
    auto c = std::make_shared<FakeControl>(parent, 10, 20, 900, 400);
    anchor.AddControl(c, anchors);
    return c;
}
} // namespace

TEST(cAnchor, AllFourAnchorsStretchTheControlKeepingLeftTopAndBothGaps) {
    Container parent;
    cAnchor anchor;
    auto c = Add(anchor, parent, 15);
    parent.scaleWidth = 1200;
    parent.scaleHeight = 600;
    anchor.DoResize();
    EXPECT_EQ(c->left, 10);
    EXPECT_EQ(c->top, 20);
    EXPECT_EQ(c->width, 1100);
    EXPECT_EQ(c->height, 500);
    parent.scaleWidth = 300;
    parent.scaleHeight = 200;
    anchor.DoResize();
    EXPECT_EQ(c->width, 200);
    EXPECT_EQ(c->height, 100);
    EXPECT_EQ((std::vector<std::string>{"Width", "Height", "Width", "Height"}), c->writes);
}

TEST(cAnchor, ARightOrBottomAnchorAloneMovesTheControlKeepingItsSize) {
    Container parent;
    cAnchor anchor;
    auto right = Add(anchor, parent, eaRight);
    auto bottom = Add(anchor, parent, eaBottom | eaLeft);
    auto both = Add(anchor, parent, eaRight | eaBottom);
    parent.scaleWidth = 1200;
    parent.scaleHeight = 450;
    anchor.DoResize();
    EXPECT_EQ(right->left, 210);
    EXPECT_EQ(right->top, 20);
    EXPECT_EQ(right->width, 900);
    EXPECT_EQ(right->writes, std::vector<std::string>{"Left"});
    EXPECT_EQ(bottom->left, 10);
    EXPECT_EQ(bottom->top, -30);
    EXPECT_EQ(bottom->height, 400);
    EXPECT_EQ(bottom->writes, std::vector<std::string>{"Top"});
    EXPECT_EQ(both->left, 210);
    EXPECT_EQ(both->top, -30);
    EXPECT_EQ((std::vector<std::string>{"Left", "Top"}), both->writes);
}

TEST(cAnchor, LeftAndRightStretchOnlyHorizontallyTopAndBottomOnlyVertically) {
    Container parent;
    cAnchor anchor;
    auto horizontal = Add(anchor, parent, eaLeft | eaRight);
    auto vertical = Add(anchor, parent, eaTop | eaBottom);
    parent.scaleWidth = 950;
    parent.scaleHeight = 700;
    anchor.DoResize();
    EXPECT_EQ(horizontal->width, 850);
    EXPECT_EQ(horizontal->height, 400);
    EXPECT_EQ(horizontal->writes, std::vector<std::string>{"Width"});
    EXPECT_EQ(vertical->width, 900);
    EXPECT_EQ(vertical->height, 600);
    EXPECT_EQ(vertical->writes, std::vector<std::string>{"Height"});
}

TEST(cAnchor, WithoutRightOrBottomAnchorsAControlIsNeverTouched) {
    Container parent;
    cAnchor anchor;
    std::vector<std::shared_ptr<FakeControl>> controls;
    for (int32_t anchors : {0, 1, 4, 5})
        controls.push_back(Add(anchor, parent, anchors));
    parent.scaleWidth = 50;
    parent.scaleHeight = 3000;
    anchor.DoResize();
    for (const auto& c : controls) {
        EXPECT_TRUE(c->writes.empty());
        EXPECT_EQ(c->left, 10);
        EXPECT_EQ(c->width, 900);
    }
    cAnchor empty;
    empty.DoResize();
    EXPECT_EQ(empty.Count(), 0u);
}

TEST(cAnchor, ARefusedValueKeepsTheLastAcceptedOneAndThePassGoesOn) {
    Container parent;
    cAnchor anchor;
    auto first = Add(anchor, parent, 15);
    auto second = Add(anchor, parent, eaRight);
    parent.scaleWidth = 150; // stretched width 150 - 10 - 90 = 50
    anchor.DoResize();
    EXPECT_EQ(first->width, 50);
    parent.scaleWidth = 60; // -40: refused
    parent.scaleHeight = 450;
    anchor.DoResize();
    EXPECT_EQ(first->width, 50);
    EXPECT_EQ(first->height, 350); // the vertical statement after the refused one still ran
    EXPECT_EQ(second->left, 60 - 900 - 90);
    parent.scaleWidth = 400; // grows again from the width it kept
    anchor.DoResize();
    EXPECT_EQ(first->width, 300);
}

TEST(cAnchor, AMissingPropertySkipsOnlyTheStatementsThatUseIt) {
    Container parent;
    cAnchor anchor;
    auto c = Add(anchor, parent, 15);
    auto next = Add(anchor, parent, 15);
    c->missing = "Left";
    parent.scaleWidth = 1100;
    parent.scaleHeight = 600;
    anchor.DoResize();
    EXPECT_EQ(c->width, 900);
    EXPECT_EQ(c->height, 500);
    EXPECT_EQ(next->width, 1000);
}

TEST(cAnchor, AddControlRoundsGapsToEvenAndRefusesWhatItCannotMeasure) {
    Container parent;
    parent.scaleWidth = 1000.5; // right gap 90.5 -> 90
    parent.scaleHeight = 501.5; // bottom gap 81.5 -> 82
    cAnchor anchor;
    auto c = Add(anchor, parent, 15);
    anchor.DoResize();
    EXPECT_DOUBLE_EQ(c->width, 1000.5 - 10 - 90);
    EXPECT_DOUBLE_EQ(c->height, 501.5 - 20 - 82);

    auto lacking = std::make_shared<FakeControl>(parent, 0, 0, 10, 10);
    lacking->missing = "Height";
    EXPECT_THROW(anchor.AddControl(lacking, 15), AppError);
    EXPECT_THROW(anchor.AddControl(nullptr, 15), AppError);
    auto huge = std::make_shared<FakeControl>(parent, -5e9, 0, 10, 10);
    try {
        anchor.AddControl(huge, 15);
        ADD_FAILURE() << "a gap beyond 32 bits must be refused";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number, kErrOverflow);
    }
    EXPECT_EQ(anchor.Count(), 1u);
    parent.scaleWidth = 2000;
    lacking->missing.clear();
    anchor.DoResize();
    EXPECT_TRUE(lacking->writes.empty()); // a refused control was never registered
    EXPECT_TRUE(huge->writes.empty());
}
