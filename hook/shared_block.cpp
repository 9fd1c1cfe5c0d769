// The exchange block lives in a section marked shared in the image, so the
// loader maps the same pages into every process. The control block lives in
// a named mapping that only the program's integrity level may write.
#include "hook/shared_block.h"

#include <aclapi.h>
#include <sddl.h>

#include "base/integrity_level.h"

__attribute__((section(".shared"), shared)) kst::HookExchange g_exchange = kst::kInitialHookExchange;

const kst::HookControlBlock* g_control = nullptr;
bool g_controlWritable = false;
HINSTANCE g_instance = nullptr;
bool g_isMainProcess = false;

namespace {

HANDLE g_mapping = nullptr;
kst::HookControlBlock* g_programView = nullptr;

void ControlName(char (&name)[kst::kControlNameSize]) {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(g_instance, path, MAX_PATH);
    path[MAX_PATH - 1] = L'\0';
    kst::ControlMappingName(reinterpret_cast<const char16_t*>(path), name);
}

// The integrity level of this process; medium when unknown.
DWORD OwnIntegrityLevel() {
    const uint32_t level = kst::IntegrityLevelOf(GetCurrentProcess());
    return level == kst::kUnknownIntegrityLevel ? SECURITY_MANDATORY_MEDIUM_RID : level;
}

const char* LabelOf(DWORD level) {
    if (level >= SECURITY_MANDATORY_SYSTEM_RID) return "SI";
    if (level >= SECURITY_MANDATORY_HIGH_RID) return "HI";
    if (level >= SECURITY_MANDATORY_MEDIUM_RID) return "ME";
    return "LW";
}

// The user's processes may read and write; the label takes writing away
// from every process below this one's level.
bool MakeDescriptor(PSECURITY_DESCRIPTOR& descriptor) {
    char sddl[96];
    wsprintfA(sddl, "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;GRGW;;;WD)S:(ML;;NW;;;%s)", LabelOf(OwnIntegrityLevel()));
    return ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr) != FALSE;
}

// An object of that name made by someone else must deny writes from below
// as ours does, or it is not ours.
bool LabelDeniesWritesFromBelow(HANDLE mapping) {
    PACL sacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(mapping, SE_KERNEL_OBJECT, LABEL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, &sacl,
                        &descriptor) != ERROR_SUCCESS)
        return false;
    bool ours = false;
    for (WORD k = 0; sacl && k < sacl->AceCount; ++k) {
        void* ace = nullptr;
        if (!GetAce(sacl, k, &ace)) continue;
        const auto* label = static_cast<const SYSTEM_MANDATORY_LABEL_ACE*>(ace);
        if (label->Header.AceType != SYSTEM_MANDATORY_LABEL_ACE_TYPE) continue;
        const PSID sid = const_cast<DWORD*>(&label->SidStart);
        const DWORD level = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
        ours = (label->Mask & SYSTEM_MANDATORY_LABEL_NO_WRITE_UP) && level >= OwnIntegrityLevel();
    }
    LocalFree(descriptor);
    return ours;
}

} // namespace

kst::HookControlBlock* ProgramControl() {
    if (g_programView) return g_programView;
    char name[kst::kControlNameSize];
    ControlName(name);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!MakeDescriptor(descriptor)) return nullptr;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0,
                                        sizeof(kst::HookControlBlock), name);
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    LocalFree(descriptor);
    if (!mapping) return nullptr;
    if (existed && !LabelDeniesWritesFromBelow(mapping)) {
        CloseHandle(mapping);
        return nullptr;
    }
    auto* view = static_cast<kst::HookControlBlock*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (!view) {
        CloseHandle(mapping);
        return nullptr;
    }
    if (!existed) *view = kst::kInitialHookControlBlock;
    CloseControl();
    g_mapping = mapping;
    g_programView = view;
    g_control = view;
    g_controlWritable = true;
    return view;
}

// Writable where this process's level allows it, else read-only: a process
// below the program's level reads whom to work for and cannot change it.
void OpenControl() {
    char name[kst::kControlNameSize];
    ControlName(name);
    bool writable = true;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name);
    if (!mapping) {
        writable = false;
        mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
    }
    if (!mapping) return;
    void* view = MapViewOfFile(mapping, writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, 0);
    if (!view) {
        CloseHandle(mapping);
        return;
    }
    g_mapping = mapping;
    g_control = static_cast<const kst::HookControlBlock*>(view);
    g_controlWritable = writable;
}

void CloseControl() {
    if (g_control) UnmapViewOfFile(const_cast<kst::HookControlBlock*>(g_control));
    if (g_mapping) CloseHandle(g_mapping);
    g_control = nullptr;
    g_programView = nullptr;
    g_mapping = nullptr;
    g_controlWritable = false;
}
