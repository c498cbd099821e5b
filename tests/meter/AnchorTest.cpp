#include "app/AppError.h"
#include "meter/cAnchor.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {
struct Container {
    double scaleWidth = 1000, scaleHeight = 500;
};

// A control as the toolkit has them: it refuses a negative size and may lack a property. It records
// the properties written, in order, as one letter each.
class FakeControl : public IAnchorControl {
public:
    FakeControl(Container& parent, double left, double top, double width, double height)
        : parent(parent), left(left), top(top), width(width), height(height) {}

    double Left() override { return Read('L', left); }
    double Top() override { return Read('T', top); }
    double Width() override { return Read('W', width); }
    double Height() override { return Read('H', height); }
    void SetLeft(double v) override { Write('L', left, v); }
    void SetTop(double v) override { Write('T', top, v); }
    void SetWidth(double v) override { Write('W', width, v); }
    void SetHeight(double v) override { Write('H', height, v); }
    double ParentScaleWidth() override { return parent.scaleWidth; }
    double ParentScaleHeight() override { return parent.scaleHeight; }

    Container& parent;
    double left, top, width, height;
    char missing = 0;
    std::string writes;

private:
    double Read(char name, double v) const {
        if (name == missing)
            throw AppError(438, {}, "Object doesn't support this property or method");
        return v;
    }
    void Write(char name, double& field, double v) {
        Read(name, 0);
        if ((name == 'W' || name == 'H') && v < 0)
            throw AppError(kErrInvalidPropertyValue, {}, "Invalid property value");
        writes += name;
        field = v;
    }
};

// Gaps: right 1000 - (10 + 900) = 90, bottom 500 - (20 + 400) = 80.
std::shared_ptr<FakeControl> Add(cAnchor& anchor, Container& parent, int32_t anchors) {
    auto c = std::make_shared<FakeControl>(parent, 10, 20, 900, 400);
    anchor.AddControl(c, anchors);
    return c;
}
} // namespace

TEST(cAnchor, AllFourAnchorsStretchAndARefusedSizeKeepsTheLastAcceptedOne) {
    Container parent;
    cAnchor anchor;
    auto c = Add(anchor, parent, 15);
    auto next = Add(anchor, parent, 15);
    parent = {1200, 600};
    anchor.DoResize();
    EXPECT_EQ(c->left, 10);
    EXPECT_EQ(c->top, 20);
    EXPECT_EQ(c->width, 1100);
    EXPECT_EQ(c->height, 500);
    parent = {150, 300}; // width 50
    anchor.DoResize();
    parent = {60, 450}; // width -40: refused; the height after it and the next control still follow
    anchor.DoResize();
    EXPECT_EQ(c->width, 50);
    EXPECT_EQ(c->height, 350);
    EXPECT_EQ(next->height, 350);
    parent = {400, 450};
    anchor.DoResize();
    EXPECT_EQ(c->width, 300);
}

TEST(cAnchor, EachAnchorCombinationMovesStretchesOrLeavesTheControl) {
    Container parent;
    cAnchor anchor;
    auto right = Add(anchor, parent, 2);
    auto bottom = Add(anchor, parent, 8 | 1);
    auto rightBottom = Add(anchor, parent, 2 | 8);
    auto horizontal = Add(anchor, parent, 1 | 2);
    auto vertical = Add(anchor, parent, 4 | 8);
    auto none = Add(anchor, parent, 0);
    auto left = Add(anchor, parent, 1);
    auto leftTop = Add(anchor, parent, 1 | 4);
    parent = {1200, 450};
    anchor.DoResize();
    EXPECT_EQ(right->left, 210);
    EXPECT_EQ(right->writes, "L");
    EXPECT_EQ(bottom->top, -30);
    EXPECT_EQ(bottom->writes, "T");
    EXPECT_EQ(rightBottom->writes, "LT");
    EXPECT_EQ(horizontal->width, 1100);
    EXPECT_EQ(horizontal->writes, "W");
    EXPECT_EQ(vertical->height, 350);
    EXPECT_EQ(vertical->writes, "H");
    for (const auto& c : {none, left, leftTop})
        EXPECT_EQ(c->writes, "");
    EXPECT_EQ(right->width, 900);
    EXPECT_EQ(bottom->height, 400);

    cAnchor empty;
    empty.DoResize();
    EXPECT_EQ(empty.Count(), 0u);
}

TEST(cAnchor, AMissingPropertySkipsOnlyTheStatementsThatUseIt) {
    Container parent;
    cAnchor anchor;
    auto c = Add(anchor, parent, 15);
    c->missing = 'L';
    parent = {1100, 600};
    anchor.DoResize();
    EXPECT_EQ(c->width, 900);
    EXPECT_EQ(c->height, 500);
}

TEST(cAnchor, AddControlRoundsGapsToEvenAndRegistersNothingItCannotMeasure) {
    Container parent{1000.5, 501.5}; // gaps 90.5 -> 90 and 81.5 -> 82
    cAnchor anchor;
    auto c = Add(anchor, parent, 15);
    anchor.DoResize();
    EXPECT_DOUBLE_EQ(c->width, 1000.5 - 10 - 90);
    EXPECT_DOUBLE_EQ(c->height, 501.5 - 20 - 82);

    auto lacking = std::make_shared<FakeControl>(parent, 0, 0, 10, 10);
    lacking->missing = 'H';
    EXPECT_THROW(anchor.AddControl(lacking, 15), AppError);
    EXPECT_THROW(anchor.AddControl(nullptr, 15), AppError);
    auto far = std::make_shared<FakeControl>(parent, -5e9, 0, 10, 10);
    try {
        anchor.AddControl(far, 15);
        ADD_FAILURE() << "a gap beyond 32 bits must be refused";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number, kErrOverflow);
    }
    EXPECT_EQ(anchor.Count(), 1u);
    lacking->missing = 0;
    anchor.DoResize();
    EXPECT_EQ(lacking->writes, "");
    EXPECT_EQ(far->writes, "");
}
