#include "winsys/cCommonDialog.h"
#include "winsys/SystemLibrary.h"

#include <windows.h>

#include <commdlg.h>

#include <cstddef>

namespace {
// The record in its 76-byte form (no places-bar fields), and the 36-byte colour record, as the
// 32-bit program hands them over.
constexpr DWORD kOpenFileNameSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
#if defined(_WIN32) && !defined(_WIN64)
static_assert(kOpenFileNameSize == 76);
static_assert(sizeof(CHOOSECOLORA) == 36);
#endif

// The dialog functions, looked up when first needed and kept for the life of the process: most runs
// never open a dialog, and need not load the library at start.
struct CommonDialogLibrary {
    decltype(&GetOpenFileNameA) getOpenFileName = nullptr;
    decltype(&GetSaveFileNameA) getSaveFileName = nullptr;
    decltype(&ChooseColorA) chooseColor = nullptr;
    decltype(&CommDlgExtendedError) extendedError = nullptr;
};

const CommonDialogLibrary& Library() {
    static const CommonDialogLibrary library{
        SystemFunction<decltype(&GetOpenFileNameA)>("comdlg32.dll", "GetOpenFileNameA"),
        SystemFunction<decltype(&GetSaveFileNameA)>("comdlg32.dll", "GetSaveFileNameA"),
        SystemFunction<decltype(&ChooseColorA)>("comdlg32.dll", "ChooseColorA"),
        SystemFunction<decltype(&CommDlgExtendedError)>("comdlg32.dll", "CommDlgExtendedError")};
    return library;
}

HWND OwnerWindow(int32_t owner) {
    return owner == -1 ? nullptr : static_cast<HWND>(LongToHandle(owner));
}

// An empty text asks for the system's default (title, folder, extension, filters).
const char* TextOrNull(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}
} // namespace

cCommonDialog::cCommonDialog()
    : m_customColors([](int index) { return static_cast<int32_t>(GetSysColor(index)); }) {}

void cCommonDialog::KeepExtendedError() {
    if (m_apiReturn != 0 && m_apiReturn != 1 && Library().extendedError)
        m_extendedError = static_cast<int32_t>(Library().extendedError());
}

bool cCommonDialog::VBGetOpenFileName(OpenFileArgs& args) {
    return RunFileDialog(args, Library().getOpenFileName);
}

bool cCommonDialog::VBGetSaveFileName(OpenFileArgs& args) {
    return RunFileDialog(args, Library().getSaveFileName);
}

bool cCommonDialog::RunFileDialog(OpenFileArgs& args, FileDialogFunction dialog) {
    m_apiReturn = 0;
    m_extendedError = 0;
    std::vector<char> file = DialogBuffer(args.Filename);
    std::vector<char> title = DialogBuffer(args.FileTitle);
    const std::string filter = SystemFilter(args.Filter);

    OPENFILENAMEA record{};
    record.lStructSize = kOpenFileNameSize;
    record.hwndOwner = OwnerWindow(args.Owner);
    record.lpstrFilter = TextOrNull(args.Filter) ? filter.c_str() : nullptr;
    record.nFilterIndex = static_cast<DWORD>(args.FilterIndex);
    record.lpstrFile = file.data();
    record.nMaxFile = static_cast<DWORD>(kDialogBufferSize);
    record.lpstrFileTitle = title.data();
    record.nMaxFileTitle = static_cast<DWORD>(kDialogBufferSize);
    record.lpstrInitialDir = TextOrNull(args.InitDir);
    record.lpstrTitle = TextOrNull(args.DlgTitle);
    record.lpstrDefExt = TextOrNull(args.DefaultExt);
    record.Flags = OpenFileFlags(args);

    if (dialog)
        m_apiReturn = dialog(&record);
    if (m_apiReturn != 1) {
        ClearOpenFileOutputs(args);
        KeepExtendedError();
        return false;
    }
    args.Filename = BufferText(file);
    args.FileTitle = BufferText(title);
    args.flags = static_cast<int32_t>(record.Flags);
    args.FilterIndex = static_cast<int32_t>(record.nFilterIndex);
    args.Filter = ChosenFilterPair(filter, args.FilterIndex);
    args.ReadOnly = (record.Flags & OFN_READONLY) != 0;
    return true;
}

bool cCommonDialog::VBChooseColor(ChooseColorArgs& args) {
    m_apiReturn = 0;
    m_extendedError = 0;
    // The dialog reads and changes the custom colours in place; they go back to the object after it.
    COLORREF custom[16];
    for (int16_t i = 0; i < 16; ++i)
        custom[i] = static_cast<COLORREF>(m_customColors.Get(i));
    CHOOSECOLORA record{};
    record.lStructSize = sizeof record;
    record.hwndOwner = OwnerWindow(args.Owner);
    record.rgbResult = static_cast<COLORREF>(args.Color);
    record.lpCustColors = custom;
    record.Flags = ChooseColorFlags(args);

    if (Library().chooseColor)
        m_apiReturn = Library().chooseColor(&record);
    for (int16_t i = 0; i < 16; ++i)
        m_customColors.Set(i, static_cast<int32_t>(custom[i]));
    if (m_apiReturn != 1) {
        args.Color = -1;
        KeepExtendedError();
        return false;
    }
    args.Color = static_cast<int32_t>(record.rgbResult);
    return true;
}
