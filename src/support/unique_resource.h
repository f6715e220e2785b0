#pragma once
// Owning wrappers for Win32 handles, keys, modules and COM interfaces.
//
// Every handle is owned from the moment it is received: put() hands out the
// address of the slot (releasing what was there), get() lends the value,
// release() gives ownership away, reset() closes. The traits of a kind of
// handle say what "none" is and how to close it; most kinds are a one-line
// unique_any of their type, close function and "none" value.

#include "support/common_controls.h"

#include <windows.h>
#include <objbase.h>
#include <shtypes.h>
#include <cstdint>
#include <utility>

namespace tw {

template <typename Traits>
class unique_resource {
public:
    using value_type = typename Traits::type;

    unique_resource() noexcept = default;
    explicit unique_resource(value_type value) noexcept
        : value_(value) {}
    unique_resource(const unique_resource&) = delete;
    unique_resource& operator=(const unique_resource&) = delete;
    unique_resource(unique_resource&& other) noexcept
        : value_(other.release()) {}
    unique_resource& operator=(unique_resource&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~unique_resource() { reset(); }

    value_type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    // Closes the current value and returns the slot for an API to fill.
    value_type* put() noexcept {
        reset();
        return &value_;
    }

    value_type release() noexcept { return std::exchange(value_, Traits::invalid()); }

    void reset(value_type value = Traits::invalid()) noexcept {
        const value_type old = std::exchange(value_, value);
        if (old != Traits::invalid()) {
            Traits::close(old);
        }
    }

private:
    value_type value_ = Traits::invalid();
};

// The traits of a handle of type T that Close frees and whose "none" value is
// None (0 for a null handle or pointer, -1 for INVALID_HANDLE_VALUE), kept as
// a number because a handle value cannot be a template argument.
template <typename T, auto Close, std::intptr_t None = 0>
struct close_traits {
    using type = T;
    static type invalid() noexcept { return reinterpret_cast<type>(None); }
    static void close(type value) noexcept { Close(value); }
};

// An owning wrapper declared in one line, in the spirit of WIL's unique_any.
template <typename T, auto Close, std::intptr_t None = 0>
using unique_any = unique_resource<close_traits<T, Close, None>>;

using unique_handle = unique_any<HANDLE, ::CloseHandle>;
using unique_file = unique_any<HANDLE, ::CloseHandle, -1>;
// A search of FindFirstFileW.
using unique_find = unique_any<HANDLE, ::FindClose, -1>;
using unique_hkey = unique_any<HKEY, ::RegCloseKey>;
using unique_hmodule = unique_any<HMODULE, ::FreeLibrary>;
using unique_hlocal = unique_any<HLOCAL, ::LocalFree>;
using unique_hicon = unique_any<HICON, ::DestroyIcon>;
using unique_gdiobj = unique_any<HGDIOBJ, ::DeleteObject>;
using unique_himagelist = unique_any<HIMAGELIST, destroyImageList>;
// An item identifier list of the shell, allocated by the shell's task allocator.
using unique_pidl = unique_any<ITEMIDLIST*, ::CoTaskMemFree>;
using unique_cotaskmem = unique_any<void*, ::CoTaskMemFree>;

// The device context of a window, released with the window it belongs to.
class window_dc {
public:
    explicit window_dc(HWND window) noexcept
        : window_(window)
        , dc_(::GetDC(window)) {}
    ~window_dc() {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
    }
    window_dc(const window_dc&) = delete;
    window_dc& operator=(const window_dc&) = delete;

    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context, and the one it replaced put back
// when this ends.
class selected_object {
public:
    selected_object(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc)
        , previous_(::SelectObject(dc, object)) {}
    ~selected_object() { ::SelectObject(dc_, previous_); }
    selected_object(const selected_object&) = delete;
    selected_object& operator=(const selected_object&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// An owned reference to a COM interface.
template <typename T>
class com_ptr {
public:
    com_ptr() noexcept = default;
    com_ptr(const com_ptr&) = delete;
    com_ptr& operator=(const com_ptr&) = delete;
    com_ptr(com_ptr&& other) noexcept
        : ptr_(std::exchange(other.ptr_, nullptr)) {}
    com_ptr& operator=(com_ptr&& other) noexcept {
        if (this != &other) {
            reset();
            ptr_ = std::exchange(other.ptr_, nullptr);
        }
        return *this;
    }
    ~com_ptr() { reset(); }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    // The slot for CoCreateInstance or QueryInterface to fill, as void**.
    void** put_void() noexcept {
        reset();
        return reinterpret_cast<void**>(&ptr_);
    }

    void reset() noexcept {
        if (ptr_ != nullptr) {
            std::exchange(ptr_, nullptr)->Release();
        }
    }

private:
    T* ptr_ = nullptr;
};

} // namespace tw
