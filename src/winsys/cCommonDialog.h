#pragma once
#include "winsys/CommonDialogRules.h"

#include <cstdint>

struct tagOFNA;

// The system's open-file, save-file and choose-colour dialogs behind calls that take the caller's variables
// and give the choices back in them. The dialogs' library is loaded on the first call, not at start.
class cCommonDialog {
public:
    cCommonDialog();

    // What the last dialog function returned: 1 for a choice, 0 when cancelled.
    int32_t APIReturn() const { return m_apiReturn; }
    // The system's extended error code, kept when a dialog returned neither 0 nor 1.
    int32_t ExtendedError() const { return m_extendedError; }

    // True when the user chose a file; otherwise the file texts and the filter come back empty,
    // FilterIndex -1 and flags 0. A Filename or FileTitle longer than 260 characters raises an
    // invalid-argument error.
    bool VBGetOpenFileName(OpenFileArgs& args);
    // The same with the save-file dialog, whose chosen file need not exist yet.
    bool VBGetSaveFileName(OpenFileArgs& args);
    // True when the user chose a colour; otherwise Color comes back -1.
    bool VBChooseColor(ChooseColorArgs& args);

    // Custom colour `index` (0 to 15) of the colour dialog, kept for this object's life; -1 outside.
    int32_t CustomColor(int16_t index) { return m_customColors.Get(index); }
    void SetCustomColor(int16_t index, int32_t colour) { m_customColors.Set(index, colour); }

private:
    using FileDialogFunction = int(__stdcall*)(tagOFNA*);
    bool RunFileDialog(OpenFileArgs& args, FileDialogFunction dialog);
    void KeepExtendedError();

    CustomColors m_customColors;
    int32_t m_apiReturn = 0;
    int32_t m_extendedError = 0;
};
