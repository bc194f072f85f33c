// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/keyboard.h"

#include <QGuiApplication>

#include <dlfcn.h>

namespace {

// Bits of the X keyboard extension's indicator state, read through libX11 loaded
// at run time so that Brewpad needs no X11 headers to build.
unsigned indicatorState(bool* ok)
{
    *ok = false;
    using GetState = int (*)(void*, unsigned, unsigned*);
    static GetState getState = [] {
        void* lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
        return lib ? reinterpret_cast<GetState>(dlsym(lib, "XkbGetIndicatorState")) : nullptr;
    }();
    if (!getState || QGuiApplication::platformName() != QLatin1String("xcb"))
        return 0;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->display())
        return 0;
    unsigned state = 0;
    const unsigned XkbUseCoreKbd = 0x0100;
    if (getState(x11->display(), XkbUseCoreKbd, &state) != 0)
        return 0;
    *ok = true;
    return state;
}

}  // namespace

namespace host {

bool numLockOn()
{
    bool ok;
    unsigned s = indicatorState(&ok);
    return ok && (s & 0x2);  // the usual "Num Lock" indicator
}

bool scrollLockOn()
{
    bool ok;
    unsigned s = indicatorState(&ok);
    return ok && (s & 0x4);  // the usual "Scroll Lock" indicator
}

}  // namespace host
