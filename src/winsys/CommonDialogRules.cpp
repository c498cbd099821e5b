#include "winsys/CommonDialogRules.h"
#include "base/AppError.h"

#include <algorithm>

namespace {
constexpr uint32_t kOfnReadOnly = 0x1;
constexpr uint32_t kOfnHideReadOnly = 0x4;
constexpr uint32_t kOfnNoChangeDir = 0x8;
constexpr uint32_t kOfnEnableHook = 0x20;
constexpr uint32_t kOfnEnableTemplate = 0x40;
constexpr uint32_t kOfnAllowMultiSelect = 0x200;
constexpr uint32_t kOfnFileMustExist = 0x1000;

constexpr uint32_t kCcRgbInit = 0x1;
constexpr uint32_t kCcFullOpen = 0x2;
constexpr uint32_t kCcPreventFullOpen = 0x4;
constexpr uint32_t kCcEnableHook = 0x10;
constexpr uint32_t kCcEnableTemplate = 0x20;
constexpr uint32_t kCcEnableTemplateHandle = 0x40;
constexpr uint32_t kCcSolidColor = 0x80;
constexpr uint32_t kCcAnyColor = 0x100;
} // namespace

uint32_t OpenFileFlags(const OpenFileArgs& args) {
    // The chosen file's folder must never become the current directory, where the loader would look
    // for DLLs and relative names would resolve.
    uint32_t flags =
        (static_cast<uint32_t>(args.flags) & ~(kOfnEnableHook | kOfnEnableTemplate)) | kOfnNoChangeDir;
    if (args.FileMustExist)
        flags |= kOfnFileMustExist;
    if (args.MultiSelect)
        flags |= kOfnAllowMultiSelect;
    if (args.ReadOnly)
        flags |= kOfnReadOnly;
    if (args.HideReadOnly)
        flags |= kOfnHideReadOnly;
    return flags;
}

uint32_t ChooseColorFlags(const ChooseColorArgs& args) {
    uint32_t flags = static_cast<uint32_t>(args.flags) | kCcRgbInit;
    flags |= args.AnyColor ? kCcAnyColor : kCcSolidColor;
    if (args.FullOpen)
        flags |= kCcFullOpen;
    if (args.DisableFullOpen)
        flags |= kCcPreventFullOpen;
    return flags & ~(kCcEnableHook | kCcEnableTemplate | kCcEnableTemplateHandle);
}

std::string SystemFilter(const std::string& filter) {
    std::string result = filter;
    std::replace_if(
        result.begin(), result.end(), [](char c) { return c == '|' || c == ':'; }, '\0');
    result.append(2, '\0');
    return result;
}

std::string ChosenFilterPair(const std::string& systemFilter, int32_t index) {
    if (index < 1)
        return {};
    // Piece 2n - 2 is the description of pair n; the list ends at the first empty piece.
    size_t start = 0;
    for (int32_t part = 0; start < systemFilter.size(); ++part) {
        const size_t end = std::min(systemFilter.find('\0', start), systemFilter.size());
        if (end == start)
            return {};
        if (part == 2 * (index - 1)) {
            const size_t patternEnd = std::min(systemFilter.find('\0', end + 1), systemFilter.size());
            return systemFilter.substr(start, patternEnd - start);
        }
        start = end + 1;
    }
    return {};
}

std::vector<char> DialogBuffer(const std::string& text) {
    if (text.size() > kDialogBufferSize)
        throw AppError(kErrInvalidArgument, "", "Invalid procedure call or argument");
    std::vector<char> buffer(kDialogBufferSize + 1, '\0');
    std::copy(text.begin(), text.end(), buffer.begin());
    return buffer;
}

std::string BufferText(const std::vector<char>& buffer) {
    return std::string(buffer.begin(), std::find(buffer.begin(), buffer.end(), '\0'));
}

void ClearOpenFileOutputs(OpenFileArgs& args) {
    args.Filename.clear();
    args.FileTitle.clear();
    args.Filter.clear();
    args.flags = 0;
    args.FilterIndex = -1;
}

CustomColors::CustomColors(std::function<int32_t(int)> systemColor) : m_systemColor(std::move(systemColor)) {}

void CustomColors::Fill() {
    if (m_ready)
        return;
    for (int i = 0; i < 16; ++i)
        m_colours[static_cast<size_t>(i)] = m_systemColor(i);
    m_ready = true;
}

int32_t CustomColors::Get(int16_t index) {
    Fill();
    if (index < 0 || index > 15)
        return -1;
    return m_colours[static_cast<size_t>(index)];
}

void CustomColors::Set(int16_t index, int32_t colour) {
    Fill();
    if (index >= 0 && index <= 15)
        m_colours[static_cast<size_t>(index)] = colour;
}
