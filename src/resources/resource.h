#ifndef VANTOREL_RESOURCE_H
#define VANTOREL_RESOURCE_H
// Resource identifiers of the built-in artwork (src/resources/artwork.rc). Shared by C++ and the
// resource compiler, so plain defines only.

// The program icon: 16, 32 and 48 pixels. The lowest id makes it the executable's icon.
#define IDI_APP 1

// Tray pictures, 32 x 32 with 16 colours (the in-only one also has a 16 x 16 image).
#define IDI_TRAY_INOUT 101
#define IDI_TRAY_OUT 102
#define IDI_TRAY_IN 103
#define IDI_TRAY_NONE 104

// Menu pictures, 16 x 16: 16-colour icons, and one 24-bit bitmap for the companion program's entry.
#define IDI_MENU_SHOW 201
#define IDI_MENU_DATA 202
#define IDB_MENU_QUILLIX 203
#define IDI_MENU_PROP 204
#define IDI_MENU_THEME 205
#define IDI_MENU_X 206

// Graph backgrounds are named bitmap resources: "CLOUDS" (602 x 425) and "RIVER" (657 x 340).
#define RES_CLOUDS "CLOUDS"
#define RES_RIVER "RIVER"

#endif
