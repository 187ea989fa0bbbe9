// The registry cases on the real registry through Win32Registry, each in a key of its own below
// HKEY_CURRENT_USER\Software that is deleted with everything in it afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_registry.h"
#include "tests/support/registry_cases.h"

namespace {

class Win32Backend {
public:
    Win32Backend()
        : base_("Software\\TessaryRegistryTest-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++made_)) {
        RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());  // a leftover of an earlier run
    }
    ~Win32Backend() {
        const LONG removed = RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
        EXPECT_TRUE(removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND) << removed;
        HKEY check = nullptr;
        EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, base_.c_str(), &check), ERROR_FILE_NOT_FOUND);
    }
    tess::platform::RegistryApi& api() { return registry_; }
    const std::string& base() const { return base_; }

private:
    static inline int made_ = 0;
    tess::platform::win32::Win32Registry registry_;
    std::string base_;
};

} // namespace

namespace tess::testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryCases, Win32Backend);
} // namespace tess::testing
