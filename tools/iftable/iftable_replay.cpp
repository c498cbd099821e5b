// iftable_replay [--interface NAME] FILE: feeds a recorded sequence of interface tables (as
// iftable_record writes them) to the meter's own sampler and prints what it raises: one line "IN OUT"
// per sample, "gap IN OUT MS" for a gap, then "total IN OUT". A bad line ends it with status 2.
#include "support/RecordedTables.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    std::string interfaceName, file;
    bool usage = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--interface" && i + 1 < argc)
            interfaceName = argv[++i];
        else if (file.empty() && !arg.starts_with("--"))
            file = arg;
        else
            usage = true;
    }
    if (usage || file.empty()) {
        std::cerr << "usage: iftable_replay [--interface NAME] FILE\n";
        return 2;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << file << ": cannot be read\n";
        return 2;
    }
    const ParsedRecording parsed = ParseRecording(in);
    if (parsed.error) {
        std::cerr << file << ": " << *parsed.error << '\n';
        return 2;
    }
    std::cout << FormatReplay(Replay(parsed.ticks, interfaceName));
    return 0;
}
