// The one data block that every process mapping the library shares. The
// section is marked shared in the image, so the loader maps the same pages
// into every process instead of giving each a private copy.
#include "hook/shared_block.h"

__attribute__((section(".shared"), shared)) kst::HookSharedBlock g_shared =
    kst::kInitialHookSharedBlock;

__attribute__((section(".shared"), shared)) uint32_t g_heldModifiers = 0;

__attribute__((section(".shared"), shared)) kst::KeyCallStamp g_passingOn = {0, 0, 0, 0};

HINSTANCE g_instance = nullptr;
bool g_isMainProcess = false;
