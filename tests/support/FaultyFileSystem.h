#pragma once

#include "FileSystem.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The real file system, except that call number `failingCall` (counted from 1
// over every operation) fails with `injectedReason` instead of doing its work;
// with `failingFromThenOn`, so does every later call, as on a disk that went
// away. A failing write first writes half of its bytes, as a short write
// followed by an error does; a failing close still closes, so no descriptor
// leaks. Opening `refusedPath` fails with "Permission denied", and so does
// checkWritable for `readOnlyPath`. `calls`
// records the operations in order, for tests that want to know what was
// attempted.
class FaultyFileSystem final : public FileSystem {
public:
    static constexpr const char* injectedReason = "Injected failure";

    explicit FaultyFileSystem(int failingCall = 0) : failingCall(failingCall) {}

    int failingCall;
    bool failingFromThenOn = false;
    std::string refusedPath;
    std::string readOnlyPath;
    std::vector<std::string> calls;
    // Runs before each operation, with its name: another program at work.
    std::function<void(const std::string& call)> beforeCall;
    bool failed() const { return failingCall > 0 && int(calls.size()) >= failingCall; }

    std::string openForReading(const std::string& path, Handle& handle) override {
        return call("openForReading", [&] {
            return path == refusedPath ? "Permission denied" : real->openForReading(path, handle);
        });
    }
    std::string openForWriting(const std::string& path, Handle& handle) override {
        return call("openForWriting", [&] { return real->openForWriting(path, handle); });
    }
    std::string status(Handle handle, FileStatus& status) override {
        return call("status", [&] { return real->status(handle, status); });
    }
    std::string statusAt(const std::string& path, FileStatus& status) override {
        return call("statusAt", [&] { return real->statusAt(path, status); });
    }
    std::string tryLock(Handle handle, LockKind kind, bool& busy) override {
        return call("tryLock", [&] { return real->tryLock(handle, kind, busy); });
    }
    std::string reserve(Handle handle, std::uint64_t offset, std::uint64_t length) override {
        return call("reserve", [&] { return real->reserve(handle, offset, length); });
    }
    std::string readAt(Handle handle, std::uint64_t offset,
                       std::span<std::uint8_t> buffer) override {
        return call("readAt", [&] { return real->readAt(handle, offset, buffer); });
    }
    std::string writeAt(Handle handle, std::uint64_t offset, std::span<const std::uint8_t> bytes,
                        std::size_t& written) override {
        return call(
            "writeAt", [&] { return real->writeAt(handle, offset, bytes, written); },
            [&] { real->writeAt(handle, offset, bytes.first(bytes.size() / 2), written); });
    }
    std::string flush(Handle handle) override {
        return call("flush", [&] { return real->flush(handle); });
    }
    std::string close(Handle handle) override {
        return call(
            "close", [&] { return real->close(handle); }, [&] { real->close(handle); });
    }
    std::string createBeside(const std::string& path, Handle& handle,
                             std::string& created) override {
        return call("createBeside", [&] { return real->createBeside(path, handle, created); });
    }
    std::string rename(const std::string& from, const std::string& to) override {
        return call("rename", [&] { return real->rename(from, to); });
    }
    std::string remove(const std::string& path) override {
        return call("remove", [&] { return real->remove(path); });
    }
    std::string readAll(const std::string& path, std::string& contents) override {
        return call("readAll", [&] { return real->readAll(path, contents); });
    }
    std::string readToEnd(const std::string& path, std::string& contents) override {
        return call("readToEnd", [&] { return real->readToEnd(path, contents); });
    }
    // Not counted, as the store never calls it.
    ReplaceResult replaceWhole(const std::string& path, std::string_view contents) override {
        return real->replaceWhole(path, contents);
    }
    bool isMissing(const std::string& path) override { return real->isMissing(path); }
    std::string checkWritable(const std::string& path) override {
        return call("checkWritable", [&] {
            return path == readOnlyPath ? "Permission denied" : real->checkWritable(path);
        });
    }

private:
    bool failing() const {
        const int call = int(calls.size());
        return failingCall > 0 &&
               (call == failingCall || (failingFromThenOn && call > failingCall));
    }

    template <typename Operation, typename Failure = void (*)()>
    std::string call(
        const char* name, Operation operation, Failure onFailure = [] {}) {
        calls.emplace_back(name);
        if (beforeCall)
            beforeCall(name);
        if (!failing())
            return operation();
        onFailure();
        return injectedReason;
    }

    std::shared_ptr<FileSystem> real = realFileSystem();
};
