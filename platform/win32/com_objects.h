// Owners for COM on a thread and for what COM hands out: interface references, strings (BSTR)
// and variants, each released when its owner goes, so that an early return leaks nothing.
#pragma once

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <string>

namespace tess::platform::win32 {

// Owns one reference to a COM interface.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // The address to receive a new reference; any held one is released first.
    void** out() {
        reset();
        return reinterpret_cast<void**>(&pointer_);
    }
    // The same address typed for calls that hand out one interface of a known type.
    Interface** typedOut() {
        reset();
        return &pointer_;
    }
    void reset() {
        if (pointer_)
            pointer_->Release();
        pointer_ = nullptr;
    }

private:
    Interface* pointer_ = nullptr;
};

// Starts COM on this thread for a scope, unless it runs there already in another mode.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

// Owns a BSTR; empty when the text could not be converted or allocated.
class UniqueBstr {
public:
    // `text` in the ANSI code page, as the programs' paths are.
    explicit UniqueBstr(const std::string& text);
    ~UniqueBstr() { SysFreeString(text_); }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    BSTR get() const { return text_; }
    explicit operator bool() const { return text_ != nullptr; }

private:
    BSTR text_ = nullptr;
};

// Owns a VARIANT and what it holds; VT_EMPTY until something is put in.
class UniqueVariant {
public:
    UniqueVariant() { VariantInit(&value_); }
    ~UniqueVariant() { VariantClear(&value_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    VARIANT& get() { return value_; }
    // Holds `number` as VT_I4.
    void setNumber(long number);
    // Holds `text` (ANSI) as VT_BSTR; false when it cannot be converted or allocated.
    bool setText(const std::string& text);
    // The address to receive a new value; any held one is cleared first.
    VARIANT* out() {
        VariantClear(&value_);
        return &value_;
    }

private:
    VARIANT value_;
};

// `text` in the ANSI code page as UTF-16; empty when it cannot be converted.
std::wstring WideFromAnsi(const std::string& text);

} // namespace tess::platform::win32
