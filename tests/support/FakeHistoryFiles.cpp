#include "FakeHistoryFiles.h"

#include <algorithm>

class FakeHistoryFile : public IHistoryFile {
public:
    FakeHistoryFile(FakeHistoryFiles& owner, std::shared_ptr<FakeHistoryFiles::Content> content,
                    bool writable)
        : owner_(owner), content_(std::move(content)), writable_(writable) {}

    uint64_t Size() override { return content_->bytes.size(); }
    std::size_t Read(uint64_t offset, uint8_t* into, std::size_t count) override {
        const auto& b = content_->bytes;
        if (offset >= b.size())
            return 0;
        const std::size_t n = std::min<std::size_t>(count, b.size() - static_cast<std::size_t>(offset));
        std::copy_n(b.begin() + static_cast<std::ptrdiff_t>(offset), n, into);
        return n;
    }
    bool Append(const uint8_t* data, std::size_t count) override {
        return WriteAt(content_->bytes.size(), data, count);
    }
    bool WriteAt(uint64_t offset, const uint8_t* data, std::size_t count) override {
        if (!Changes())
            return false;
        auto& b = content_->bytes;
        if (b.size() < offset + count)
            b.resize(static_cast<std::size_t>(offset + count));
        std::copy_n(data, count, b.begin() + static_cast<std::ptrdiff_t>(offset));
        return true;
    }
    bool Truncate(uint64_t size) override {
        if (!Changes())
            return false;
        content_->bytes.resize(std::min<std::size_t>(content_->bytes.size(), static_cast<std::size_t>(size)));
        return true;
    }
    bool Flush() override {
        if (!owner_.Step())
            return false;
        content_->durable = content_->bytes;
        return true;
    }

private:
    bool Changes() { return writable_ && owner_.Step(); }

    FakeHistoryFiles& owner_;
    std::shared_ptr<FakeHistoryFiles::Content> content_;
    bool writable_;
};

namespace {
struct FakeLock : IHistoryLock {
    explicit FakeLock(bool& h) : held(h) { held = true; }
    ~FakeLock() override { held = false; }
    bool& held;
};
} // namespace

bool FakeHistoryFiles::Step() {
    ++steps_;
    if (stepsLeft_ == 0)
        return false;
    if (stepsLeft_ > 0)
        --stepsLeft_;
    return true;
}

std::unique_ptr<IHistoryFile> FakeHistoryFiles::Open(const std::string& name, Mode mode) {
    auto it = files.find(name);
    if (it == files.end()) {
        if (mode == Mode::Read || !Step())
            return nullptr;
        it = files.emplace(name, std::make_shared<Content>()).first;
    }
    return std::make_unique<FakeHistoryFile>(*this, it->second, mode == Mode::Write);
}

bool FakeHistoryFiles::Replace(const std::string& from, const std::string& to) {
    auto it = files.find(from);
    if (it == files.end() || !Step())
        return false;
    // Written through: the move is durable, and carries only what the file had flushed.
    auto content = it->second;
    files.erase(it);
    files[to] = content;
    return true;
}

bool FakeHistoryFiles::Remove(const std::string& name) {
    return files.count(name) && Step() && files.erase(name);
}

std::vector<std::string> FakeHistoryFiles::List() {
    std::vector<std::string> names;
    for (const auto& entry : files)
        names.push_back(entry.first);
    return names;
}

std::unique_ptr<IHistoryLock> FakeHistoryFiles::TryLock(const std::string& name) {
    bool& held = locks[name];
    return held ? nullptr : std::make_unique<FakeLock>(held);
}

void FakeHistoryFiles::PowerCut() {
    for (auto& entry : files)
        entry.second->bytes = entry.second->durable;
}
