// iftable_record SECONDS: writes this machine's interface tables once a second for SECONDS seconds,
// in the format iftable_replay reads, so that a real machine's table can become a test.
#include "net/InterfaceReader.h"
#include "net/NetSeamsWin32.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    char* end = nullptr;
    const long seconds = argc == 2 ? std::strtol(argv[1], &end, 10) : -1;
    if (argc != 2 || *end != '\0' || seconds < 0 || seconds > 86400) {
        std::fprintf(stderr, "usage: iftable_record SECONDS   (0 to 86400)\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 1 << 16);
    UseSystemNetworkSeams();
    InterfaceReader reader;
    std::printf("# iftable_record %ld: row INDEX TYPE HW FILTER MEDIUM IN OUT DESCRIPTION\n", seconds);
    ULONGLONG previous = GetTickCount64();
    for (long tick = 0; tick <= seconds; ++tick) {
        if (tick > 0)
            Sleep(1000);
        const ULONGLONG now = GetTickCount64();
        const auto rows = reader.Take();
        // Rows the newer table did not give: the whole tick is one of the old table alone.
        const bool legacy =
            !rows.empty() && std::all_of(rows.begin(), rows.end(), [](auto& r) { return r.legacy; });
        std::printf("\ntick %llu%s\n", tick ? static_cast<unsigned long long>(now - previous) : 0ull,
                    legacy ? " legacy" : "");
        previous = now;
        for (const InterfaceRow& row : rows) {
            // One line each: a description is at most 255 characters and holds no line break.
            std::string descr(row.descr.substr(0, 255));
            std::replace_if(
                descr.begin(), descr.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
            std::printf("row %u %u %d %d %u %llu %llu %s\n", row.index, row.type, row.hardware ? 1 : 0,
                        row.filter ? 1 : 0, row.medium, static_cast<unsigned long long>(row.inOctets),
                        static_cast<unsigned long long>(row.outOctets), descr.c_str());
        }
        std::fflush(stdout);
    }
    return 0;
}
