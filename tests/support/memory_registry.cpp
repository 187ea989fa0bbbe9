// The in-memory registry: a tree of keys per predefined root, handles numbered like Win32's and
// never reused, so a closed handle stays invalid, and values kept as the bytes written.
#include "tests/support/memory_registry.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "core/ascii_case.h"

namespace tess {

struct MemoryRegistry::Node {
    platform::RegKey root = 0;
    std::vector<std::string> path;  // lower-case names from the root down to this key
    Node* parent = nullptr;
    // A deleted key stays reachable through handles opened before, which then fail.
    bool deleted = false;
    std::map<std::string, std::shared_ptr<Node>> children;  // by lower-case name
    std::map<std::string, StoredValue> values;               // by lower-case name
};

namespace {

// Splits a key path at its backslashes. Win32 refuses a path that starts with a backslash and
// passes over empty names elsewhere, as in "a\\b" or a trailing backslash.
long SplitPath(const std::string& subKey, std::vector<std::string>* names) {
    names->clear();
    if (!subKey.empty() && subKey.front() == '\\')
        return platform::kErrorBadPathname;
    size_t start = 0;
    while (start <= subKey.size()) {
        size_t end = subKey.find('\\', start);
        if (end == std::string::npos)
            end = subKey.size();
        if (end > start)
            names->push_back(AsciiLower(subKey.substr(start, end - start)));
        start = end + 1;
    }
    return platform::kErrorSuccess;
}

bool IsStringType(uint32_t type) {
    return type == platform::kRegSz || type == platform::kRegExpandSz || type == platform::kRegMultiSz;
}

} // namespace

MemoryRegistry::MemoryRegistry() {
    for (platform::RegKey root : {platform::kHKeyCurrentUser, platform::kHKeyLocalMachine}) {
        auto node = std::make_shared<Node>();
        node->root = root;
        roots_[root] = std::move(node);
    }
}

MemoryRegistry::~MemoryRegistry() = default;

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Resolve(platform::RegKey key, long* error) const {
    *error = platform::kErrorSuccess;
    if (auto root = roots_.find(key); root != roots_.end())
        return root->second;
    auto handle = handles_.find(key);
    if (handle == handles_.end()) {
        *error = platform::kErrorInvalidHandle;
        return nullptr;
    }
    if (handle->second->deleted) {
        *error = platform::kErrorKeyDeleted;
        return nullptr;
    }
    return handle->second;
}

long MemoryRegistry::Refused(const Node& from, const std::vector<std::string>& names) const {
    std::vector<std::string> full = from.path;
    full.insert(full.end(), names.begin(), names.end());
    for (const Refusal& refusal : refusals_) {
        if (refusal.root == from.root && refusal.path.size() <= full.size() &&
            std::equal(refusal.path.begin(), refusal.path.end(), full.begin()))
            return refusal.error;
    }
    return platform::kErrorSuccess;
}

long MemoryRegistry::Walk(platform::RegKey root, const std::string& subKey, bool create,
                          std::shared_ptr<Node>* out) {
    long error = platform::kErrorSuccess;
    std::shared_ptr<Node> node = Resolve(root, &error);
    if (!node)
        return error;
    std::vector<std::string> names;
    if ((error = SplitPath(subKey, &names)) != platform::kErrorSuccess)
        return error;
    if ((error = Refused(*node, names)) != platform::kErrorSuccess)
        return error;
    for (const std::string& name : names) {
        auto child = node->children.find(name);
        if (child == node->children.end()) {
            if (!create)
                return platform::kErrorFileNotFound;
            auto made = std::make_shared<Node>();
            made->root = node->root;
            made->path = node->path;
            made->path.push_back(name);
            made->parent = node.get();
            child = node->children.emplace(name, std::move(made)).first;
        }
        node = child->second;
    }
    *out = std::move(node);
    return platform::kErrorSuccess;
}

platform::RegKey MemoryRegistry::NewHandle(std::shared_ptr<Node> node) {
    const platform::RegKey handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = std::move(node);
    return handle;
}

long MemoryRegistry::OpenKey(platform::RegKey root, const std::string& subKey, platform::RegKey* out) {
    *out = 0;
    if (Dead())
        return platform::kErrorAccessDenied;
    std::shared_ptr<Node> node;
    // Win32 hands back the root handle itself for an empty path (RegCreateKeyA makes a new one).
    if (subKey.empty()) {
        long error = platform::kErrorSuccess;
        if (!Resolve(root, &error))
            return error;
        *out = root;
        return platform::kErrorSuccess;
    }
    if (long error = Walk(root, subKey, false, &node))
        return error;
    *out = NewHandle(std::move(node));
    return platform::kErrorSuccess;
}

long MemoryRegistry::CreateKey(platform::RegKey root, const std::string& subKey, platform::RegKey* out) {
    *out = 0;
    if (!Change())
        return platform::kErrorAccessDenied;
    std::shared_ptr<Node> node;
    if (long error = Walk(root, subKey, true, &node))
        return error;
    *out = NewHandle(std::move(node));
    return platform::kErrorSuccess;
}

long MemoryRegistry::QueryValueEx(platform::RegKey key, const std::string& name, uint32_t* type,
                                  uint8_t* data, uint32_t* size) {
    if (Dead())
        return platform::kErrorAccessDenied;
    long error = platform::kErrorSuccess;
    std::shared_ptr<Node> node = Resolve(key, &error);
    if (!node)
        return error;
    if (data && !size)
        return platform::kErrorInvalidParameter;
    auto found = node->values.find(AsciiLower(name));
    if (found == node->values.end())
        return platform::kErrorFileNotFound;
    const StoredValue& value = found->second;
    if (type)
        *type = value.type;
    const uint32_t needed = static_cast<uint32_t>(value.bytes.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return platform::kErrorMoreData;
        }
        if (needed > 0)
            std::memcpy(data, value.bytes.data(), needed);
        // Like Win32, a non-empty string stored without its terminating NUL gets one when there
        // is room; the size reported stays that of the stored bytes.
        if (IsStringType(value.type) && needed > 0 && needed < *size && value.bytes.back() != 0)
            data[needed] = 0;
    }
    if (size)
        *size = needed;
    return platform::kErrorSuccess;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::ValueChange(platform::RegKey key, long injected,
                                                                  long* error) {
    if (!Change()) {
        *error = platform::kErrorAccessDenied;
        return nullptr;
    }
    std::shared_ptr<Node> node = Resolve(key, error);
    if (node && injected != platform::kErrorSuccess) {
        *error = injected;
        return nullptr;
    }
    return node;
}

long MemoryRegistry::SetValueEx(platform::RegKey key, const std::string& name, uint32_t type,
                                const uint8_t* data, uint32_t size) {
    long error = platform::kErrorSuccess;
    std::shared_ptr<Node> node = ValueChange(key, failValueWrites_, &error);
    if (!node)
        return error;
    if (!data && size > 0)
        return platform::kErrorInvalidParameter;
    StoredValue& value = node->values[AsciiLower(name)];
    value.type = type;
    value.bytes.assign(data, data + size);
    return platform::kErrorSuccess;
}

long MemoryRegistry::DeleteValue(platform::RegKey key, const std::string& name) {
    long error = platform::kErrorSuccess;
    std::shared_ptr<Node> node = ValueChange(key, failValueDeletes_, &error);
    if (!node)
        return error;
    return node->values.erase(AsciiLower(name)) > 0 ? platform::kErrorSuccess : platform::kErrorFileNotFound;
}

long MemoryRegistry::DeleteKey(platform::RegKey root, const std::string& subKey) {
    if (!Change())
        return platform::kErrorAccessDenied;
    std::shared_ptr<Node> node;
    if (long error = Walk(root, subKey, false, &node))
        return error;
    if (!node->parent || !node->children.empty())
        return platform::kErrorAccessDenied;
    node->deleted = true;
    node->parent->children.erase(node->path.back());
    node->parent = nullptr;
    return platform::kErrorSuccess;
}

long MemoryRegistry::CloseKey(platform::RegKey key) {
    if (roots_.count(key))
        return platform::kErrorSuccess;
    return handles_.erase(key) > 0 ? platform::kErrorSuccess : platform::kErrorInvalidHandle;
}

void MemoryRegistry::RefuseKey(platform::RegKey root, const std::string& subKey, long error) {
    std::vector<std::string> names;
    SplitPath(subKey, &names);
    refusals_.push_back({root, std::move(names), error});
}

const MemoryRegistry::Node* MemoryRegistry::Find(platform::RegKey root, const std::string& subKey) const {
    auto found = roots_.find(root);
    std::vector<std::string> names;
    if (found == roots_.end() || SplitPath(subKey, &names) != platform::kErrorSuccess)
        return nullptr;
    const Node* node = found->second.get();
    for (const std::string& name : names) {
        auto child = node->children.find(name);
        if (child == node->children.end())
            return nullptr;
        node = child->second.get();
    }
    return node;
}

std::optional<MemoryRegistry::StoredValue> MemoryRegistry::Stored(platform::RegKey root,
                                                                  const std::string& subKey,
                                                                  const std::string& name) const {
    const Node* node = Find(root, subKey);
    if (!node)
        return std::nullopt;
    auto value = node->values.find(AsciiLower(name));
    if (value == node->values.end())
        return std::nullopt;
    return value->second;
}

bool MemoryRegistry::KeyExists(platform::RegKey root, const std::string& subKey) const {
    return Find(root, subKey) != nullptr;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::CopyTree(const Node& node, Node* parent) {
    auto copy = std::make_shared<Node>();
    copy->root = node.root;
    copy->path = node.path;
    copy->parent = parent;
    copy->values = node.values;
    for (const auto& [name, child] : node.children)
        copy->children[name] = CopyTree(*child, copy.get());
    return copy;
}

std::unique_ptr<MemoryRegistry> MemoryRegistry::Restarted() const {
    auto after = std::make_unique<MemoryRegistry>();
    for (const auto& [root, node] : roots_)
        after->roots_[root] = CopyTree(*node, nullptr);
    return after;
}

std::map<std::string, std::string> MemoryRegistry::Contents() const {
    std::map<std::string, std::string> all;
    const std::function<void(const Node&, const std::string&)> walk = [&](const Node& node, const std::string& at) {
        all[at] = "key";
        for (const auto& [name, value] : node.values)
            all[at + "|" + name] = std::to_string(value.type) + " " + std::string(value.bytes.begin(), value.bytes.end());
        for (const auto& [name, child] : node.children)
            walk(*child, at + "\\" + name);
    };
    for (const auto& [root, node] : roots_)
        walk(*node, root == platform::kHKeyLocalMachine ? "HKLM" : root == platform::kHKeyCurrentUser ? "HKCU" : std::to_string(root));
    return all;
}

} // namespace tess
