#pragma once
#include <cstddef>

// The number of operator new calls this program has made so far (the program that links
// AllocCounter.cpp replaces the global operator new to count them).
std::size_t AllocationCount();
