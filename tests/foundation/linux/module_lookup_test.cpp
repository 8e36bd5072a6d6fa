// SPDX-License-Identifier: MIT
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "foundation/module_lookup.h"
#include "support/program_base.h"

namespace {

using testsupport::ProgramBase;

TEST(ModuleLookupTest, ProgramIsNamedByItsExecutable) {
    EXPECT_STREQ(foundation::ProgramFileName(), "foundation_tests");
}

TEST(ModuleLookupTest, AddressInProgramGivesProgramAndItsBase) {
    foundation::TModuleInfo module;
    const auto address = reinterpret_cast<std::uintptr_t>(&ProgramBase) + 3;
    ASSERT_TRUE(foundation::FindModule(address, module));
    EXPECT_STREQ(module.Name, "foundation_tests");
    EXPECT_EQ(module.Base, ProgramBase());
}

TEST(ModuleLookupTest, AddressInSharedLibraryGivesLibraryName) {
    // Looked up in the library itself: a sanitizer build has its own write.
    void* library = dlopen("libc.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr)
        GTEST_SKIP() << "a statically linked test program has no shared library loaded";
    const auto address = reinterpret_cast<std::uintptr_t>(dlsym(library, "write"));
    dlclose(library);
    foundation::TModuleInfo module;
    ASSERT_TRUE(foundation::FindModule(address, module));
    EXPECT_STREQ(module.Name, "libc.so.6");
    EXPECT_LT(module.Base, address);
}

TEST(ModuleLookupTest, AddressesOutsideModulesAreNotFound) {
    foundation::TModuleInfo module;
    int onStack = 0;
    void* onHeap = std::malloc(16);
    for (std::uintptr_t address : {std::uintptr_t{0}, reinterpret_cast<std::uintptr_t>(&onStack),
                                   reinterpret_cast<std::uintptr_t>(onHeap)}) {
        EXPECT_FALSE(foundation::FindModule(address, module)) << std::hex << address;
    }
    std::free(onHeap);
}

} // namespace
