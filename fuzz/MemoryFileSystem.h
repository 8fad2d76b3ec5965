#pragma once

#include "FileSystem.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <span>
#include <string>
#include <vector>

// A file in memory: a shared base of bytes, which also gives its length, and
// copies of the 256-byte pages written since. Making and comparing one costs no
// copy of the base, so the image fuzzer can run thousands of images of a
// megabyte a second.
class MemoryFile {
public:
    explicit MemoryFile(std::span<const std::uint8_t> base) : base(base) {}

    std::size_t size() const { return base.size(); }
    void read(std::size_t offset, std::span<std::uint8_t> buffer) const {
        for (std::size_t done = 0; done < buffer.size();) {
            const std::size_t at = offset + done;
            const auto from = page(at / pageSize).subspan(at % pageSize);
            const std::size_t count = std::min(from.size(), buffer.size() - done);
            std::memcpy(buffer.data() + done, from.data(), count);
            done += count;
        }
    }
    void write(std::size_t offset, std::span<const std::uint8_t> bytes) {
        for (std::size_t done = 0; done < bytes.size();) {
            const std::size_t at = offset + done;
            const auto to = std::span(writablePage(at / pageSize)).subspan(at % pageSize);
            const std::size_t count = std::min(to.size(), bytes.size() - done);
            std::memcpy(to.data(), bytes.data() + done, count);
            done += count;
        }
    }
    // True when `other`, a file over the same base, holds the same bytes.
    bool sameBytesAs(const MemoryFile& other) const {
        for (const auto* written : {&pages, &other.pages})
            for (const auto& [number, bytes] : *written)
                if (std::memcmp(page(number).data(), other.page(number).data(), bytes.size()) != 0)
                    return false;
        return true;
    }

private:
    static constexpr std::size_t pageSize = 256;

    std::span<const std::uint8_t> page(std::size_t number) const {
        if (const auto found = pages.find(number); found != pages.end())
            return found->second;
        const std::size_t start = number * pageSize;
        return base.subspan(start, std::min(pageSize, base.size() - start));
    }
    std::vector<std::uint8_t>& writablePage(std::size_t number) {
        auto found = pages.find(number);
        if (found == pages.end()) {
            const auto original = page(number);
            found = pages.emplace(number, std::vector(original.begin(), original.end())).first;
        }
        return found->second;
    }

    std::span<const std::uint8_t> base;
    std::map<std::size_t, std::vector<std::uint8_t>> pages;
};

// One image file at `path`, in memory; no names.cfg. Call number `failingCall`
// (counted from 1) fails with "Injected failure", and with `failingFromThenOn`
// so does every later call. A failing write first writes half its bytes, as a
// short write followed by an error does. A write past the end of the file
// aborts: the store must never lengthen the image.
class MemoryFileSystem final : public FileSystem {
public:
    MemoryFileSystem(std::string path, MemoryFile file) : path(std::move(path)), file(file) {}

    std::string path;
    MemoryFile file;
    int failingCall = 0;
    bool failingFromThenOn = false;
    int calls = 0;
    bool failed() const { return failingCall > 0 && calls >= failingCall; }

    std::string openForReading(const std::string& name, Handle& handle) override {
        return open(name, handle);
    }
    std::string openForWriting(const std::string& name, Handle& handle) override {
        return open(name, handle);
    }
    std::string status(Handle, FileStatus& status) override {
        return call([&] { status = {file.size(), FileIdentity(1, 1)}; });
    }
    std::string statusAt(const std::string& name, FileStatus& status) override {
        return call(
            [&] {
                status = {file.size(), FileIdentity(1, 1)};
            },
            [] {}, name == path ? "" : "No such file or directory");
    }
    std::string tryLock(Handle, LockKind, bool& busy) override {
        busy = false;
        return call([] {});
    }
    std::string reserve(Handle, std::uint64_t offset, std::uint64_t length) override {
        if (offset + length > file.size())
            std::abort();
        return call([] {});
    }
    std::string readAt(Handle, std::uint64_t offset, std::span<std::uint8_t> buffer) override {
        if (offset + buffer.size() > file.size())
            return "The file ends before the bytes to be read";
        return call([&] { file.read(offset, buffer); });
    }
    std::string writeAt(Handle, std::uint64_t offset, std::span<const std::uint8_t> bytes,
                        std::size_t& written) override {
        if (offset + bytes.size() > file.size())
            std::abort();
        written = 0;
        return call(
            [&] { file.write(offset, bytes), written = bytes.size(); },
            [&] { file.write(offset, bytes.first(bytes.size() / 2)), written = bytes.size() / 2; });
    }
    std::string flush(Handle) override {
        return call([] {});
    }
    std::string close(Handle) override {
        return call([] {});
    }
    // Holds one file: a Save As, which would create another, is refused.
    std::string createBeside(const std::string&, Handle&, std::string&) override {
        return call([] {}, [] {}, "Read-only file system");
    }
    std::string rename(const std::string&, const std::string&) override {
        return call([] {}, [] {}, "Read-only file system");
    }
    std::string remove(const std::string&) override {
        return call([] {}, [] {}, "Read-only file system");
    }
    std::string readAll(const std::string&, std::string&) override {
        return call([] {}, [] {}, "No such file or directory");
    }
    std::string readToEnd(const std::string&, std::string&) override {
        return call([] {}, [] {}, "No such file or directory");
    }
    ReplaceResult replaceWhole(const std::string&, std::string_view) override {
        return {"Read-only file system", false};
    }
    bool isMissing(const std::string& name) override { return name != path; }
    std::string checkWritable(const std::string& name) override {
        return call([] {}, [] {}, name == path ? "" : "No such file or directory");
    }

private:
    std::string open(const std::string& name, Handle& handle) {
        handle = Handle(3);
        return call([] {}, [] {}, name == path ? "" : "No such file or directory");
    }

    // Does `work`, or on an injected failure `onFailure`; then reports
    // `reason`.
    template <typename Work, typename Failure = void (*)()>
    std::string call(
        Work work, Failure onFailure = [] {}, std::string reason = {}) {
        ++calls;
        if (calls == failingCall || (failingFromThenOn && failingCall > 0 && calls > failingCall)) {
            onFailure();
            return "Injected failure";
        }
        work();
        return reason;
    }
};
