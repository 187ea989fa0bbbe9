// The conversions behind the COM owners: ANSI text to UTF-16 and to a BSTR that COM can carry to
// another process.
#include "platform/win32/com_objects.h"

namespace tess::platform::win32 {

std::wstring WideFromAnsi(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.pop_back();  // the terminating NUL counted by the call
    return wide;
}

UniqueBstr::UniqueBstr(const std::string& text) {
    const std::wstring wide = WideFromAnsi(text);
    if (!wide.empty() || text.empty())
        text_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

void UniqueVariant::setNumber(long number) {
    VariantClear(&value_);
    value_.vt = VT_I4;
    value_.lVal = number;
}

bool UniqueVariant::setText(const std::string& text) {
    VariantClear(&value_);
    const std::wstring wide = WideFromAnsi(text);
    if (wide.empty() && !text.empty())
        return false;
    value_.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!value_.bstrVal)
        return false;
    value_.vt = VT_BSTR;
    return true;
}

} // namespace tess::platform::win32
