#pragma once
#include <windows.h>

#include <string>

// The program's text-input box: a prompt, an edit box holding `defaultText`, OK and Cancel, modal to
// `owner`. Gives the text when OK (or Enter) closes it, "" when Cancel, Esc or the close box does.
std::string InputBox(HWND owner, const std::string& prompt, const std::string& title,
                     const std::string& defaultText);
