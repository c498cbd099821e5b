#pragma once
#include "base/mLogging.h"

#include <memory>
#include <stdexcept>
#include <string>

// A log system in memory: the file's text in `file`, day-first dates without padding (so that a line
// shows the system's formats and not built-in ones), and switches for each way the system can fail.
struct FakeLogFile : ILogFile {
    FakeLogFile(std::string& content, const bool& fail) : content(content), fail(fail) {}
    bool Append(const std::string& bytes) override {
        if (!fail)
            content += bytes;
        return !fail;
    }
    std::string& content;
    const bool& fail;
};

struct FakeLogSystem : ILogSystem {
    LogDateTime Now() override {
        clockRead = true;
        if (clockBroken)
            throw std::runtime_error("no clock");
        return now;
    }
    std::string ShortDate(const LogDateTime& w) override {
        return std::to_string(w.Day) + "." + std::to_string(w.Month) + "." + std::to_string(w.Year);
    }
    std::string LongTime(const LogDateTime& w) override {
        return std::to_string(w.Hour) + ":" + std::to_string(w.Minute) + ":" + std::to_string(w.Second);
    }
    std::unique_ptr<ILogFile> OpenForAppend(const std::string& name) override {
        opened += name;
        return refuseOpen ? nullptr : std::make_unique<FakeLogFile>(file, failWrites);
    }

    LogDateTime now{2024, 3, 5, 13, 4, 5};
    bool clockRead = false;
    bool refuseOpen = false, failWrites = false, clockBroken = false;
    std::string opened, file;
};
