// SPDX-License-Identifier: MIT
// The registry value that overrides the floating-point exception masks.
#include "foundation/mask_override.h"

#include <windows.h>

namespace foundation {

namespace {

constexpr char SettingsKey[] = "SOFTWARE\\survey"; // under HKEY_LOCAL_MACHINE
constexpr char MaskValueName[] = "FPUMaskValue";

} // namespace

bool ReadFpuMaskValue(std::uint32_t& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    // A failed read may leave anything in the buffer, so it is a copy.
    std::uint32_t read = value;
    DWORD size = sizeof read;
    const LSTATUS status = RegQueryValueExA(key, MaskValueName, nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(&read), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        return false;
    }
    value = read;
    return true;
}

} // namespace foundation
