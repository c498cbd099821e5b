#pragma once

// Puts the running system behind every seam of the program: the executable's path, the user's decimal
// separator, the interface table and timers, the registry, the log's system and the tick counter, and
// the picture loader. The program calls it first thing; the Wine tests and timing programs call it too,
// so that what they run on is what the program runs on.
void InstallSystemServices();
