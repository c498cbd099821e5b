#include "history/StateFile.h"

#include "history/Crc32.h"

#include <cstring>

namespace {
constexpr char kMagic[4] = {'V', 'T', 'S', 'T'};

void Put(uint8_t* at, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t Get(const uint8_t* at, int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<uint64_t>(at[i]) << (8 * i);
    return v;
}
} // namespace

std::vector<uint8_t> EncodeStateSlot(const HistoryState& state) {
    std::vector<uint8_t> slot(kStateSlotBytes, 0);
    std::memcpy(slot.data(), kMagic, 4);
    Put(&slot[4], state.sequence, 8);
    Put(&slot[12], static_cast<uint64_t>(state.bootStart), 8);
    Put(&slot[20], state.ticks, 8);
    const std::size_t n =
        state.counters.size() < kMaxSavedCounters ? state.counters.size() : kMaxSavedCounters;
    Put(&slot[28], n, 2);
    uint8_t* at = &slot[36];
    for (std::size_t i = 0; i < n; ++i, at += 32) {
        std::memcpy(at, state.counters[i].guid.bytes.data(), 16);
        Put(at + 16, state.counters[i].in, 8);
        Put(at + 24, state.counters[i].out, 8);
    }
    Put(&slot[kStateSlotBytes - 4], Crc32(slot.data(), kStateSlotBytes - 4), 4);
    return slot;
}

bool DecodeStateSlot(const uint8_t* slot, std::size_t size, HistoryState& into) {
    if (size < kStateSlotBytes || std::memcmp(slot, kMagic, 4) != 0 ||
        Crc32(slot, kStateSlotBytes - 4) != Get(slot + kStateSlotBytes - 4, 4))
        return false;
    const auto n = static_cast<std::size_t>(Get(slot + 28, 2));
    if (n > kMaxSavedCounters)
        return false;
    HistoryState s;
    s.sequence = Get(slot + 4, 8);
    s.bootStart = static_cast<int64_t>(Get(slot + 12, 8));
    s.ticks = Get(slot + 20, 8);
    for (std::size_t i = 0; i < n; ++i) {
        const uint8_t* at = slot + 36 + 32 * i;
        SavedCounters c;
        std::memcpy(c.guid.bytes.data(), at, 16);
        c.in = Get(at + 16, 8);
        c.out = Get(at + 24, 8);
        s.counters.push_back(c);
    }
    into = std::move(s);
    return true;
}

bool ReadState(IHistoryFile& file, HistoryState& into) {
    std::vector<uint8_t> bytes(2 * kStateSlotBytes);
    bytes.resize(file.Read(0, bytes.data(), bytes.size()));
    bool found = false;
    for (std::size_t slot = 0; slot < 2; ++slot) {
        HistoryState s;
        if (bytes.size() >= (slot + 1) * kStateSlotBytes &&
            DecodeStateSlot(bytes.data() + slot * kStateSlotBytes, kStateSlotBytes, s) &&
            s.sequence % 2 == slot && (!found || s.sequence > into.sequence)) {
            into = std::move(s);
            found = true;
        }
    }
    return found;
}

bool WriteState(IHistoryFile& file, HistoryState& state) {
    ++state.sequence;
    const std::vector<uint8_t> slot = EncodeStateSlot(state);
    return file.WriteAt((state.sequence % 2) * kStateSlotBytes, slot.data(), slot.size()) && file.Flush();
}
