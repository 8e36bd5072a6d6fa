// SPDX-License-Identifier: MIT
// Module lookup over the system's memory regions and module file names.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "foundation/module_lookup.h"

namespace {

using foundation::FindModule;
using foundation::TModuleInfo;

std::uintptr_t Address(const void* at) {
    return reinterpret_cast<std::uintptr_t>(at);
}

TEST(WindowsModuleLookup, ProgramIsNamedWithItsExtension) {
    EXPECT_STREQ(foundation::ProgramFileName(), "foundation_tests.exe");
}

TEST(WindowsModuleLookup, AddressInProgramGivesProgramAndItsBase) {
    TModuleInfo module;
    ASSERT_TRUE(FindModule(Address(reinterpret_cast<const void*>(&FindModule)) + 3, module));
    EXPECT_STREQ(module.Name, "foundation_tests.exe");
    EXPECT_EQ(module.Base, Address(GetModuleHandleA(nullptr)));
}

TEST(WindowsModuleLookup, AddressInSystemLibraryGivesLibrary) {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    ASSERT_NE(kernel, nullptr);
    const auto routine = reinterpret_cast<const void*>(GetProcAddress(kernel, "GetFileType"));
    TModuleInfo module;
    ASSERT_TRUE(FindModule(Address(routine), module));
    EXPECT_STRCASEEQ(module.Name, "kernel32.dll");
    EXPECT_EQ(module.Base, Address(kernel));
}

TEST(WindowsModuleLookup, AddressOutsideModulesGivesNone) {
    TModuleInfo module;
    void* heap = std::malloc(16);
    int local = 0;
    void* reserved = VirtualAlloc(nullptr, 65536, MEM_RESERVE, PAGE_NOACCESS);
    EXPECT_FALSE(FindModule(0, module));
    EXPECT_FALSE(FindModule(Address(heap), module));
    EXPECT_FALSE(FindModule(Address(&local), module));
    EXPECT_FALSE(FindModule(Address(reserved), module)); // not committed
    VirtualFree(reserved, 0, MEM_RELEASE);
    std::free(heap);
}

} // namespace
