#pragma once

// Puts the real system behind the portable code: the registry (advapi32), the log's clock, date
// formats and file, and the tick counter (GetTickCount). The Win32 program calls this once, first
// thing in WinMain; without it the settings code sees an empty registry that refuses writes.
void UseSystemServices();
