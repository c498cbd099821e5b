#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Report-style list views for dialogs: the class, columns and rows of text.

// Makes the list view's window class known before a dialog template names it: version 6 of the
// common controls, which the manifest names, comes in with the first control made under it; where
// no manifest brings it the system's own copy is loaded. False when there is no such class.
bool EnsureListViewClass();
void AddListViewColumn(HWND list, int index, const std::string& heading, int width, bool alignRight);
void SetListViewHeading(HWND list, int index, const std::string& heading);
// The rows replace the list's; rows of the same count are rewritten in place, so that the list keeps
// its scroll position and selection.
void SetListViewRows(HWND list, const std::vector<std::vector<std::string>>& rows);
std::string ListViewText(HWND list, int row, int column);
int ListViewCount(HWND list);
