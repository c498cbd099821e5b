#pragma once
#include <cstdint>
#include <string>

// The system tick counter in milliseconds (GetTickCount on Windows); replaceable for tests.
using TickSource = uint32_t (*)();
void SetTickSource(TickSource source);
TickSource CurrentTickSource();
uint32_t CurrentTick();
// The same counter 64 bits wide (GetTickCount64), which never wraps: what a measured interval needs.
using TickSource64 = uint64_t (*)();
void SetTickSource64(TickSource64 source);
TickSource64 CurrentTickSource64();
uint64_t CurrentTick64();

// One program-wide stopwatch: StartTimer, then ElapsedTime gives the milliseconds since, as text.
void StartTimer();
std::string ElapsedTime();
