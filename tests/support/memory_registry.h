// A registry held in memory that answers like the Win32 calls, for running registry code without
// Windows, with ways for tests to make calls fail, to let the program die after a given change and
// to look at the bytes as they were stored.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "tests/support/crash_clock.h"

namespace tess {

// One difference from Windows is deliberate: SetValueEx keeps exactly the bytes it is given,
// while Windows adds a string's terminating NUL to the count when the caller left it out but the
// byte after the data is a NUL. Code that forgets to count the NUL is caught here.
class MemoryRegistry : public platform::RegistryApi {
public:
    // What a value holds: its type and its bytes exactly as they were written.
    struct StoredValue {
        uint32_t type = 0;
        std::vector<uint8_t> bytes;
    };

    MemoryRegistry();
    ~MemoryRegistry() override;

    long OpenKey(platform::RegKey root, const std::string& subKey, platform::RegKey* out) override;
    long CreateKey(platform::RegKey root, const std::string& subKey, platform::RegKey* out) override;
    long QueryValueEx(platform::RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                      uint32_t* size) override;
    long SetValueEx(platform::RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                    uint32_t size) override;
    long DeleteValue(platform::RegKey key, const std::string& name) override;
    long DeleteKey(platform::RegKey root, const std::string& subKey) override;
    long CloseKey(platform::RegKey key) override;

    // Opening, creating or deleting the key at `subKey` under the predefined `root`, or any key
    // below it, fails with `error` from now on.
    void RefuseKey(platform::RegKey root, const std::string& subKey, long error = platform::kErrorAccessDenied);
    // SetValueEx / DeleteValue fail with `error` from now on; kErrorSuccess lets them work again.
    void FailValueWrites(long error) { failValueWrites_ = error; }
    void FailValueDeletes(long error) { failValueDeletes_ = error; }

    // Counts every creation of a key, write and deletion on `clock`, shared with the file system
    // of the same run; once it stops, every call but closing a key fails.
    void UseClock(testing::CrashClock* clock) { clock_ = clock; }
    // The same keys and values after the program died and the computer started again: a registry
    // of its own, with no handle open and no clock or refusal.
    std::unique_ptr<MemoryRegistry> Restarted() const;
    // Every key, as "HKLM\path" (lower case) with the text "key", and every value, as
    // "HKLM\path|name" with its type and bytes.
    std::map<std::string, std::string> Contents() const;

    // The value as stored, or nothing when the key or the value does not exist.
    std::optional<StoredValue> Stored(platform::RegKey root, const std::string& subKey,
                                      const std::string& name) const;
    bool KeyExists(platform::RegKey root, const std::string& subKey) const;
    // Handles opened and not yet closed, so tests can see that every key was closed.
    size_t OpenHandleCount() const { return handles_.size(); }

private:
    struct Node;
    struct Refusal {
        platform::RegKey root;
        std::vector<std::string> path;  // lower case
        long error;
    };

    std::shared_ptr<Node> Resolve(platform::RegKey key, long* error) const;
    // The open key whose values a change is about to touch, the change counted; null with the
    // error when the program has died, the key is not open or `injected` asks for a failure.
    std::shared_ptr<Node> ValueChange(platform::RegKey key, long injected, long* error);
    // The key at `subKey` under a predefined root, without opening it.
    const Node* Find(platform::RegKey root, const std::string& subKey) const;
    long Walk(platform::RegKey root, const std::string& subKey, bool create, std::shared_ptr<Node>* out);
    long Refused(const Node& from, const std::vector<std::string>& names) const;
    platform::RegKey NewHandle(std::shared_ptr<Node> node);
    // A copy of `node` and everything below it, below `parent`.
    static std::shared_ptr<Node> CopyTree(const Node& node, Node* parent);
    bool Dead() const { return clock_ && clock_->stopped(); }
    // Counts a change about to be made; false once the program has died.
    bool Change() { return !clock_ || clock_->change(); }

    std::map<platform::RegKey, std::shared_ptr<Node>> roots_;
    std::map<platform::RegKey, std::shared_ptr<Node>> handles_;
    std::vector<Refusal> refusals_;
    platform::RegKey nextHandle_ = 0x100;
    long failValueWrites_ = platform::kErrorSuccess;
    long failValueDeletes_ = platform::kErrorSuccess;
    testing::CrashClock* clock_ = nullptr;
};

} // namespace tess
