#pragma once

#include "FileSystem.h"

#include <string>
#include <utility>
#include <vector>

// The real file system, except that call number `failingCall` (counted from 1
// over every operation) fails with `injectedReason` instead of doing its work.
// A failing close still closes, so no descriptor leaks. `calls` records the
// operations in order, for tests that want to know what was attempted.
class FaultyFileSystem final : public FileSystem {
public:
    static constexpr const char* injectedReason = "Injected failure";

    explicit FaultyFileSystem(int failingCall = 0) : failingCall(failingCall) {}

    int failingCall;
    std::vector<std::string> calls;
    bool failed() const { return failingCall > 0 && int(calls.size()) >= failingCall; }

    std::string openForReading(const std::string& path, Handle& handle) override {
        return call("openForReading", [&] { return real->openForReading(path, handle); });
    }
    std::string openForWriting(const std::string& path, Handle& handle) override {
        return call("openForWriting", [&] { return real->openForWriting(path, handle); });
    }
    std::string size(Handle handle, std::uint64_t& size) override {
        return call("size", [&] { return real->size(handle, size); });
    }
    std::string readAt(Handle handle, std::uint64_t offset,
                       std::span<std::uint8_t> buffer) override {
        return call("readAt", [&] { return real->readAt(handle, offset, buffer); });
    }
    std::string writeAt(Handle handle, std::uint64_t offset,
                        std::span<const std::uint8_t> bytes) override {
        return call("writeAt", [&] { return real->writeAt(handle, offset, bytes); });
    }
    std::string flush(Handle handle) override {
        return call("flush", [&] { return real->flush(handle); });
    }
    std::string close(Handle handle) override {
        const bool failing = failingCall == int(calls.size()) + 1;
        std::string reason = call("close", [&] { return real->close(handle); });
        if (failing)
            real->close(handle);
        return reason;
    }
    std::string readAll(const std::string& path, std::string& contents) override {
        return call("readAll", [&] { return real->readAll(path, contents); });
    }

private:
    template <typename Operation> std::string call(const char* name, Operation operation) {
        calls.emplace_back(name);
        if (int(calls.size()) == failingCall)
            return injectedReason;
        return operation();
    }

    std::shared_ptr<FileSystem> real = realFileSystem();
};
