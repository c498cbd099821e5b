#pragma once
#include <cstdint>
#include <string>

// The system tick counter in milliseconds (GetTickCount on Windows); replaceable for tests.
using TickSource = uint32_t (*)();
void SetTickSource(TickSource source);
uint32_t CurrentTick();

// One program-wide stopwatch: StartTimer, then ElapsedTime gives the milliseconds since, as text.
void StartTimer();
std::string ElapsedTime();
