#include "history/HistoryFormat.h"

#include "history/Crc32.h"
#include "history/ZoneCalendar.h"

#include <cstring>

namespace {
constexpr uint8_t kRecordMark = 0xA5;
constexpr uint8_t kInterfaceRecord = 1;
constexpr uint8_t kMinuteRecord = 2;
constexpr char kArchiveSignature[8] = {'V', 'T', 'H', 'I', 'S', 'T', 'A', '1'};

void Put(std::vector<uint8_t>& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutText(std::vector<uint8_t>& out, const std::string& text) {
    const std::size_t n = text.size() < kMaxTextBytes ? text.size() : kMaxTextBytes;
    Put(out, n, 2);
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
}

void PutInterface(std::vector<uint8_t>& out, const HistoryInterface& interface) {
    out.insert(out.end(), interface.guid.bytes.begin(), interface.guid.bytes.end());
    out.push_back(interface.countedInAll ? 1 : 0);
    PutText(out, interface.description);
    PutText(out, interface.alias);
}

// Reads little-endian fields; any read past the end marks the whole read as failed.
class Reader {
public:
    Reader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    uint64_t Get(int bytes) {
        if (size_ - pos_ < static_cast<std::size_t>(bytes)) {
            ok_ = false;
            pos_ = size_;
            return 0;
        }
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= static_cast<uint64_t>(data_[pos_++]) << (8 * i);
        return v;
    }
    std::string GetText() {
        const std::size_t n = static_cast<std::size_t>(Get(2));
        if (size_ - pos_ < n) {
            ok_ = false;
            pos_ = size_;
            return {};
        }
        std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }
    HistoryInterface GetInterface() {
        HistoryInterface h;
        for (uint8_t& b : h.guid.bytes)
            b = static_cast<uint8_t>(Get(1));
        h.countedInAll = Get(1) != 0;
        h.description = GetText();
        h.alias = GetText();
        return h;
    }
    bool Ok() const { return ok_; }
    bool AtEnd() const { return pos_ == size_; }
    std::size_t Position() const { return pos_; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

void Frame(std::vector<uint8_t>& out, uint8_t type, const std::vector<uint8_t>& payload) {
    const std::size_t start = out.size();
    out.push_back(kRecordMark);
    out.push_back(type);
    Put(out, payload.size(), 2);
    out.insert(out.end(), payload.begin(), payload.end());
    Put(out, Crc32(out.data() + start, out.size() - start), 4);
}
} // namespace

void AppendInterfaceRecord(std::vector<uint8_t>& out, uint16_t slot, const HistoryInterface& interface) {
    std::vector<uint8_t> payload;
    Put(payload, slot, 2);
    PutInterface(payload, interface);
    Frame(out, kInterfaceRecord, payload);
}

void AppendMinuteRecord(std::vector<uint8_t>& out, const MinuteRecord& record) {
    std::vector<uint8_t> payload;
    payload.reserve(27);
    Put(payload, record.slot, 2);
    Put(payload, static_cast<uint64_t>(record.minute), 8);
    Put(payload, record.in, 8);
    Put(payload, record.out, 8);
    payload.push_back(record.flags);
    Frame(out, kMinuteRecord, payload);
}

JournalScan ScanJournal(const std::vector<uint8_t>& bytes, HistoryData& into) {
    JournalScan scan;
    std::vector<std::size_t> indexOfSlot;
    std::size_t pos = 0;
    while (bytes.size() - pos >= kRecordOverhead && bytes[pos] == kRecordMark) {
        const std::size_t length = bytes[pos + 2] | static_cast<std::size_t>(bytes[pos + 3]) << 8;
        if (bytes.size() - pos - kRecordOverhead < length)
            break;
        Reader crc(bytes.data() + pos + 4 + length, 4);
        if (Crc32(bytes.data() + pos, 4 + length) != crc.Get(4))
            break;
        Reader r(bytes.data() + pos + 4, length);
        const uint8_t type = bytes[pos + 1];
        if (type == kInterfaceRecord) {
            const auto slot = static_cast<std::size_t>(r.Get(2));
            const HistoryInterface h = r.GetInterface();
            if (!r.Ok() || !r.AtEnd())
                break;
            if (slot >= scan.slots.size()) {
                scan.slots.resize(slot + 1);
                indexOfSlot.resize(slot + 1, SIZE_MAX);
            }
            scan.slots[slot] = h.guid;
            indexOfSlot[slot] = into.Intern(h);
        } else if (type == kMinuteRecord) {
            const auto slot = static_cast<std::size_t>(r.Get(2));
            const auto minute = static_cast<int64_t>(r.Get(8));
            const uint64_t in = r.Get(8), out = r.Get(8);
            const auto flags = static_cast<uint8_t>(r.Get(1));
            if (!r.Ok() || !r.AtEnd() || slot >= indexOfSlot.size() || indexOfSlot[slot] == SIZE_MAX)
                break;
            into.Add(indexOfSlot[slot], FloorDiv(minute, kQuarterSeconds / 60), in, out, flags);
        } else {
            break;
        }
        pos += kRecordOverhead + length;
    }
    scan.validLength = pos;
    return scan;
}

std::vector<uint8_t> EncodeArchive(const HistoryData& data) {
    std::vector<uint8_t> out(kArchiveSignature, kArchiveSignature + sizeof kArchiveSignature);
    const auto& interfaces = data.Interfaces();
    Put(out, interfaces.size(), 2);
    std::size_t entries = 0;
    for (std::size_t i = 0; i < interfaces.size(); ++i) {
        PutInterface(out, interfaces[i]);
        entries += data.Series(i).size();
    }
    Put(out, entries, 4);
    out.reserve(out.size() + entries * 23 + 4);
    for (std::size_t i = 0; i < interfaces.size(); ++i)
        for (const QuarterTotal& q : data.Series(i)) {
            Put(out, i, 2);
            Put(out, static_cast<uint64_t>(q.quarter), 4);
            Put(out, q.in, 8);
            Put(out, q.out, 8);
            out.push_back(q.flags);
        }
    Put(out, Crc32(out.data(), out.size()), 4);
    return out;
}

bool DecodeArchive(const std::vector<uint8_t>& bytes, HistoryData& into) {
    constexpr std::size_t kSig = sizeof kArchiveSignature, kEntry = 23;
    if (bytes.size() < kSig + 4 || std::memcmp(bytes.data(), kArchiveSignature, kSig) != 0)
        return false;
    Reader crc(bytes.data() + bytes.size() - 4, 4);
    if (Crc32(bytes.data(), bytes.size() - 4) != crc.Get(4))
        return false;
    Reader head(bytes.data() + kSig, bytes.size() - kSig - 4);
    const auto count = static_cast<std::size_t>(head.Get(2));
    std::vector<HistoryInterface> interfaces;
    for (std::size_t i = 0; i < count && head.Ok(); ++i)
        interfaces.push_back(head.GetInterface());
    const auto entries = static_cast<std::size_t>(head.Get(4));
    const std::size_t body = bytes.size() - 4 - head.Position() - kSig;
    // Checked whole before anything is added, so that a month is taken entirely or not at all.
    if (!head.Ok() || body / kEntry != entries || body % kEntry != 0)
        return false;
    std::vector<std::size_t> index;
    for (const HistoryInterface& h : interfaces)
        index.push_back(into.Intern(h));
    const uint8_t* first = bytes.data() + kSig + head.Position();
    std::vector<std::size_t> per(index.size(), 0);
    for (std::size_t e = 0; e < entries; ++e)
        if (const std::size_t i = first[e * kEntry] | static_cast<std::size_t>(first[e * kEntry + 1]) << 8;
            i < per.size())
            ++per[i];
    for (std::size_t i = 0; i < per.size(); ++i)
        into.Reserve(index[i], per[i]);
    Reader r(first, body);
    for (std::size_t e = 0; e < entries; ++e) {
        const auto i = static_cast<std::size_t>(r.Get(2));
        const auto quarter = static_cast<int32_t>(static_cast<uint32_t>(r.Get(4)));
        const uint64_t in = r.Get(8), out = r.Get(8);
        const auto flags = static_cast<uint8_t>(r.Get(1));
        if (i < index.size())
            into.Add(index[i], quarter, in, out, flags);
    }
    return true;
}

bool ReadWholeFile(IHistoryFiles& files, const std::string& name, std::vector<uint8_t>& into) {
    into.clear();
    auto file = files.Open(name, IHistoryFiles::Mode::Read);
    if (!file)
        return false;
    into.resize(static_cast<std::size_t>(file->Size()));
    into.resize(file->Read(0, into.data(), into.size()));
    return true;
}
