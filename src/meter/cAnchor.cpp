#include "meter/cAnchor.h"
#include "base/AppError.h"
#include "base/Convert.h"

#include <exception>
#include <utility>

namespace {
int32_t GapOf(double value) {
    const auto gap = TryRoundToInt32(value);
    if (!gap)
        throw AppError(kErrOverflow, {}, "Overflow");
    return *gap;
}

} // namespace

void cAnchor::AddControl(std::shared_ptr<IAnchorControl> Ctrl, int32_t Anchors) {
    if (!Ctrl)
        throw AppError(kErrObjectRequired, {}, "Object required");
    Entry entry;
    entry.anchors = Anchors;
    entry.bottomGap = GapOf(Ctrl->ParentScaleHeight() - (Ctrl->Top() + Ctrl->Height()));
    entry.rightGap = GapOf(Ctrl->ParentScaleWidth() - (Ctrl->Left() + Ctrl->Width()));
    entry.control = std::move(Ctrl);
    m_entries.push_back(std::move(entry));
}

void cAnchor::DoResize() {
    // By index and by copy: a setter may reach back into this object (a control that adds another).
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry e = m_entries[i];
        IAnchorControl& c = *e.control;
        if ((e.anchors & eaRight) && !(e.anchors & eaLeft))
            IgnoringErrors([&] { c.SetLeft(c.ParentScaleWidth() - c.Width() - e.rightGap); });
        if ((e.anchors & eaRight) && (e.anchors & eaLeft))
            IgnoringErrors([&] { c.SetWidth(c.ParentScaleWidth() - c.Left() - e.rightGap); });
        if ((e.anchors & eaBottom) && !(e.anchors & eaTop))
            IgnoringErrors([&] { c.SetTop(c.ParentScaleHeight() - c.Height() - e.bottomGap); });
        if ((e.anchors & eaBottom) && (e.anchors & eaTop))
            IgnoringErrors([&] { c.SetHeight(c.ParentScaleHeight() - c.Top() - e.bottomGap); });
    }
}
