// Loaded into tarvon-tables with LD_PRELOAD: the first time the program
// reserves disk space for a save, which comes after it has read the tables
// and before it writes, the byte at offset TARVON_CHANGE_OFFSET of the file
// is inverted, as another program writing the image at that moment would.
// With TARVON_RESERVE_ERROR set to an error number, that reservation then
// fails with it, as a full disk or a file size limit would.
#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

extern "C" int fallocate(int fd, int mode, off_t offset, off_t length) {
    static bool changed = false;
    if (const char* at = std::getenv("TARVON_CHANGE_OFFSET"); at && !changed) {
        changed = true;
        const off_t changedOffset = std::strtoll(at, nullptr, 0);
        unsigned char byte = 0;
        if (pread(fd, &byte, 1, changedOffset) == 1) {
            byte = static_cast<unsigned char>(~byte);
            if (pwrite(fd, &byte, 1, changedOffset) != 1)
                std::abort();
        }
    }
    if (const char* error = std::getenv("TARVON_RESERVE_ERROR")) {
        errno = std::atoi(error);
        return -1;
    }
    using Fallocate = int (*)(int, int, off_t, off_t);
    static const auto real = reinterpret_cast<Fallocate>(dlsym(RTLD_NEXT, "fallocate"));
    return real(fd, mode, offset, length);
}
