#pragma once
// The small state file: the last counters the journal accounts for, in two alternating slots each
// with its checksum, so that a write cut short leaves the other slot sound.
#include "history/HistorySeams.h"

#include <cstdint>
#include <string>
#include <vector>

struct SavedCounters {
    InterfaceGuid guid;
    uint64_t in = 0;
    uint64_t out = 0;
};

struct HistoryState {
    uint64_t sequence = 0; // slot = sequence % 2; the higher sound one is current
    int64_t bootStart = 0; // UTC seconds at which this boot's tick count was 0
    uint64_t ticks = 0;    // tick count when saved
    std::vector<SavedCounters> counters;
};

constexpr std::size_t kStateSlotBytes = 4096;
constexpr std::size_t kMaxSavedCounters = (kStateSlotBytes - 40) / 32;

// Exactly one slot's bytes; counters past kMaxSavedCounters are left out.
std::vector<uint8_t> EncodeStateSlot(const HistoryState& state);
bool DecodeStateSlot(const uint8_t* slot, std::size_t size, HistoryState& into);

// The newer of the two sound slots; false when neither is.
bool ReadState(IHistoryFile& file, HistoryState& into);
// Writes `state` with the next sequence number into the slot that does not hold the current state.
bool WriteState(IHistoryFile& file, HistoryState& state);
