#include "ui/layered.h"

namespace kst {

LayeredSupport g_layered;

void ProbeLayeredWindows() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    g_layered = LayeredSupport{};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version)) return;
#pragma GCC diagnostic pop
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT || version.dwMajorVersion != 5) return;
    HMODULE user32 = LoadLibraryA("user32.dll");
    // Through void (*)(): the usual way from a FARPROC to the real signature.
    const FARPROC found = user32 ? GetProcAddress(user32, "SetLayeredWindowAttributes") : nullptr;
    g_layered.setAttributes =
        reinterpret_cast<SetLayeredWindowAttributesFn>(reinterpret_cast<void (*)()>(found));
    g_layered.present = g_layered.setAttributes != nullptr;
}

} // namespace kst
