#include "SystemIo.h"

#include <cstring>

std::string systemReason(int error) {
    return std::strerror(error);
}

Transferred moveAll(std::size_t size, const std::function<ssize_t(std::size_t done)>& step,
                    const char* stalled) {
    Transferred result;
    while (result.moved < size) {
        const ssize_t count = untilNotInterrupted([&] { return step(result.moved); });
        if (count < 0) {
            result.reason = systemReason();
            break;
        }
        if (count == 0) {
            result.reason = stalled;
            break;
        }
        result.moved += static_cast<std::size_t>(count);
    }
    return result;
}
