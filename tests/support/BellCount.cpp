#include "BellCount.h"

#include <QApplication>
#ifndef Q_OS_WIN
#include <dlfcn.h>
#endif

namespace {
int rung = 0;
} // namespace

int bellsRung() {
    return rung;
}

#ifdef Q_OS_WIN
// Qt is linked in: the linker sends the program's calls of QApplication::beep
// here (--wrap, see tests/CMakeLists.txt), and Qt's own is __real_ before its
// name.
extern "C" void __real__ZN12QApplication4beepEv();
extern "C" void __wrap__ZN12QApplication4beepEv() {
    ++rung;
    __real__ZN12QApplication4beepEv();
}
#else
// The program's calls of QApplication::beep come here, since a definition in
// the test program goes before the one in Qt's library; Qt's own is the next
// one the dynamic linker finds.
void QApplication::beep() {
    ++rung;
    using Beep = void (*)();
    static const auto qtBeep = reinterpret_cast<Beep>(dlsym(RTLD_NEXT, "_ZN12QApplication4beepEv"));
    if (!qtBeep)
        qFatal("Qt's QApplication::beep cannot be found: %s", dlerror());
    qtBeep();
}
#endif
