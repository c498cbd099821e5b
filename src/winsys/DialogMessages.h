#pragma once
#include <windows.h>

#include <string>

// Modeless dialogs get their keyboard handling (Tab, arrows, Enter, Esc, mnemonics) from the message
// loop: every loop of the program passes each message here before translating and dispatching it.
void AddModelessDialog(HWND dialog);
void RemoveModelessDialog(HWND dialog);
// True when the message belonged to an open modeless dialog and has been handled.
bool IsModelessDialogMessage(MSG* msg);

// Thin helpers that move values in and out of a dialog's controls.
std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);
bool IsItemChecked(HWND dialog, int id);
void SetItemChecked(HWND dialog, int id, bool checked);
void EnableItem(HWND dialog, int id, bool enabled);
// Drop-down lists: entries are counted from 0; -1 is no selection.
int AddListEntry(HWND dialog, int id, const std::string& text, LPARAM data = 0);
void ClearList(HWND dialog, int id);
int ListCount(HWND dialog, int id);
std::string ListEntry(HWND dialog, int id, int index);
LPARAM ListData(HWND dialog, int id, int index);
int SelectedListEntry(HWND dialog, int id);
void SelectListEntry(HWND dialog, int id, int index);
// Widens the open list of a drop-down list to its widest entry, so that long entries read whole.
void FitDroppedWidth(HWND dialog, int id);
// Gives a window of its own the program's icon, in its title bar and in the task list.
void SetProgramIcon(HWND window);
// Brings a window that is already open to the front (restoring it when minimised).
void BringToFront(HWND window);
