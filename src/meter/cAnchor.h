#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// What cAnchor needs of a control: its position and size and its container's inner size, all in the
// container's scale units. A setter may refuse a value (a negative width, say) by throwing; a getter
// of a property the control lacks throws too.
class IAnchorControl {
public:
    virtual double Left() = 0;
    virtual double Top() = 0;
    virtual double Width() = 0;
    virtual double Height() = 0;
    virtual void SetLeft(double value) = 0;
    virtual void SetTop(double value) = 0;
    virtual void SetWidth(double value) = 0;
    virtual void SetHeight(double value) = 0;
    virtual double ParentScaleWidth() = 0;
    virtual double ParentScaleHeight() = 0;

protected:
    ~IAnchorControl() = default;
};

// Anchor bits: which edges of the container a control keeps its distance to.
enum EAnchor : int32_t {
    eaLeft = 1,
    eaRight = 2,
    eaTop = 4,
    eaBottom = 8,
};

// Run-time error numbers a control raises for a value it refuses or a container it lacks.
constexpr int32_t kErrInvalidPropertyValue = 380;
constexpr int32_t kErrObjectRequired = 424;

// Keeps controls at a fixed distance from the right and bottom edges of their container: a right
// (bottom) anchor alone moves the control, together with the left (top) anchor it stretches it.
class cAnchor {
public:
    // One pass over the controls in the order they were added. A value a control refuses is skipped
    // (that property keeps its value) and the pass goes on.
    void DoResize();
    // Registers a control and measures its gaps now. A control whose gaps cannot be measured is not
    // registered and the error goes to the caller.
    void AddControl(std::shared_ptr<IAnchorControl> Ctrl, int32_t Anchors);

    size_t Count() const { return m_entries.size(); }

private:
    struct Entry {
        std::shared_ptr<IAnchorControl> control;
        int32_t anchors = 0;
        int32_t rightGap = 0;
        int32_t bottomGap = 0;
    };
    std::vector<Entry> m_entries;
};
