#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the open-file and choose-colour dialogs are given and give back, and the rules that turn the
// caller's values into the system's records. The caller's variables travel by reference as one record,
// so the choices come back in the same variables.

// VBGetOpenFileName's arguments.
struct OpenFileArgs {
    std::string Filename{};  // in: the initial name; out: the chosen path
    std::string FileTitle{}; // in: the initial title; out: the chosen file's name without its folder
    bool FileMustExist = false;
    bool MultiSelect = false;
    bool ReadOnly = false; // out: the dialog's read-only box
    bool HideReadOnly = false;
    std::string
        Filter{}; // in: description and pattern pairs, parts split by "|" or ":"; out: the chosen pair
    int32_t FilterIndex = 1; // counted from 1; out: the filter the user had selected
    std::string InitDir{};
    std::string DlgTitle{};
    std::string DefaultExt{};
    int32_t Owner = -1; // the owner window's handle; -1 means none
    int32_t flags = 0;  // further OFN_ flags; out: the flags the dialog returned
};

// VBChooseColor's arguments.
struct ChooseColorArgs {
    int32_t Color = 0; // in: the colour selected at start; out: the chosen one, -1 when cancelled
    bool AnyColor = false;
    bool FullOpen = false;
    bool DisableFullOpen = false;
    int32_t Owner = -1;
    int32_t flags = 0; // further CC_ flags
};

// The characters of the file and title buffers, terminator included.
inline constexpr size_t kDialogBufferSize = 260;

// The flag words of the two records. Hook and template bits are never passed on: the records carry
// no hook and no template.
uint32_t OpenFileFlags(const OpenFileArgs& args);
uint32_t ChooseColorFlags(const ChooseColorArgs& args);

// The filter in the system's form: every "|" and ":" a zero character, and two zeros at the end.
std::string SystemFilter(const std::string& filter);
// Pair `index` (from 1) of a filter in the system's form: description, one zero, pattern; "" when
// there is no such pair.
std::string ChosenFilterPair(const std::string& systemFilter, int32_t index);

// `text` padded with zeros to kDialogBufferSize characters, with one more zero behind as a guard.
// A text longer than the buffer raises an invalid-argument error.
std::vector<char> DialogBuffer(const std::string& text);
// A buffer's text up to its first zero.
std::string BufferText(const std::vector<char>& buffer);

// The outputs of an open-file dialog that chose nothing.
void ClearOpenFileOutputs(OpenFileArgs& args);

// The colour dialog's sixteen custom colours: filled from the system colours 0 to 15 on first use,
// then kept, together with what the user defines in the dialog.
class CustomColors {
public:
    explicit CustomColors(std::function<int32_t(int)> systemColor);

    // Colour `index`; -1 outside 0 to 15.
    int32_t Get(int16_t index);
    // Outside 0 to 15 nothing happens.
    void Set(int16_t index, int32_t colour);

private:
    void Fill();

    std::function<int32_t(int)> m_systemColor;
    std::array<int32_t, 16> m_colours{};
    bool m_ready = false;
};
