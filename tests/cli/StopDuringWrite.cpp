// Loaded into tarvon-tables with LD_PRELOAD: the first time the program syncs
// a file, which it does to the output's temporary before putting it in
// place, it gets SIGINT, as from a user pressing Ctrl+C at that moment.
#include <csignal>
#include <dlfcn.h>

extern "C" int fsync(int fd) {
    static bool stopped = false;
    if (!stopped) {
        stopped = true;
        std::raise(SIGINT);
    }
    using Fsync = int (*)(int);
    static const auto real = reinterpret_cast<Fsync>(dlsym(RTLD_NEXT, "fsync"));
    return real(fd);
}
