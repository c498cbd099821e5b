#pragma once
#include <string>

class cGraph;

// The graph's settings under Graph as start-up reads them: scale, switches and look. A value that does
// not convert is logged and its default used; a missing one is its default.
void ReadGraphSettings(cGraph& graph);
// Writes them all. A refused write is logged under `where` and the rest still written; false when any
// was refused.
bool WriteGraphSettings(const cGraph& graph, const std::string& where);
