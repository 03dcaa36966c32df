#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace sorvane {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

// The one place where the core's UTF-16 text meets the platform's wide text.
inline std::wstring ToWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}
inline std::u16string FromWide(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

// Owns a kernel handle and closes it.
class UniqueHandle {
  public:
    explicit UniqueHandle(HANDLE handle = nullptr) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    HANDLE get() const noexcept { return handle_; }
    HANDLE release() noexcept {
        HANDLE h = handle_;
        handle_ = nullptr;
        return h;
    }
    void reset(HANDLE handle = nullptr) noexcept {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
        handle_ = handle;
    }

  private:
    HANDLE handle_;
};

// A Windows DLL that costs memory and start-up time and that only some uses need: it is loaded
// when one of its functions is first asked for, from the system folder only, and then kept
// loaded, as what it gave out may still be in use.
class SystemLibrary {
  public:
    constexpr explicit SystemLibrary(const wchar_t* name) : name_(name) {}

    // The named function, or null when the DLL or the function cannot be found.
    template <typename Function> Function Get(const char* function) {
        if (module_ == nullptr) {
            module_ = LoadLibraryExW(name_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        }
        const FARPROC address = module_ != nullptr ? GetProcAddress(module_, function) : nullptr;
        // Through the generic function type, which every compiler accepts as a cast target.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
    }

  private:
    const wchar_t* name_;
    HMODULE module_ = nullptr;
};

struct GdiObjectDeleter {
    void operator()(HFONT font) const noexcept { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// "Error N: " and Windows' own description of the error number, the way the program
// reports a failure, with `insert` (the program that failed to start) in place of its %1.
std::wstring ErrorReport(DWORD error, std::wstring_view insert = {});

std::u16string WindowText(HWND window);
void SetWindowText(HWND window, std::u16string_view text);

} // namespace sorvane
