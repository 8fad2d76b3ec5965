#pragma once

#include <cerrno>
#include <cstddef>
#include <functional>
#include <string>
#include <sys/types.h>

// The system's own words for an error number, as the C library gives them.
std::string systemReason(int error = errno);

// Repeats a call that the system interrupted before it did anything.
template <class Call> auto untilNotInterrupted(Call call) {
    decltype(call()) result;
    do
        result = call();
    while (result < 0 && errno == EINTR);
    return result;
}

// How a transfer of many bytes ended: how many moved, and the reason it
// stopped short (empty when all moved).
struct Transferred {
    std::size_t moved = 0;
    std::string reason;
};

// Moves `size` bytes by calling `step(done)`, which moves what it can of the
// rest and returns the count, or -1 with errno set. Interrupted and short
// transfers go on; `stalled` is the reason given when a step moves nothing.
Transferred moveAll(std::size_t size, const std::function<ssize_t(std::size_t done)>& step,
                    const char* stalled);
