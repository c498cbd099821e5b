#pragma once
// The bytes of the history's files: journal records, each with its checksum, and whole archives.
#include "history/HistoryData.h"

#include <cstdint>
#include <string>
#include <vector>

// Journal record: 0xA5, type, payload length (16 bits), payload, CRC-32 of everything before it.
// Numbers are little-endian.
constexpr std::size_t kRecordOverhead = 8;
constexpr std::size_t kMaxTextBytes = 1024; // longer descriptions and aliases are cut

struct MinuteRecord {
    uint16_t slot = 0;  // the journal's own number for the interface, from its interface record
    int64_t minute = 0; // UTC seconds / 60
    uint64_t in = 0;
    uint64_t out = 0;
    uint8_t flags = 0;
};

void AppendInterfaceRecord(std::vector<uint8_t>& out, uint16_t slot, const HistoryInterface& entry);
void AppendMinuteRecord(std::vector<uint8_t>& out, const MinuteRecord& record);

struct JournalScan {
    std::size_t validLength = 0;      // bytes of whole, sound records from the start
    std::vector<InterfaceGuid> slots; // the interface of each slot number the journal gave
};
// Adds every sound record up to the first torn or corrupt one to `into`.
JournalScan ScanJournal(const std::vector<uint8_t>& bytes, HistoryData& into);

// Archive: a signature, the interfaces, the quarter totals, and one CRC-32 of all of it.
std::vector<uint8_t> EncodeArchive(const HistoryData& data);
bool DecodeArchive(const std::vector<uint8_t>& bytes, HistoryData& into);

bool ReadWholeFile(IHistoryFiles& files, const std::string& name, std::vector<uint8_t>& into);
