// Move-only owners for Win32 handles and COM interfaces: one type per
// close function, copies deleted, the empty value part of the type.
#pragma once

#include <utility>

#include "runtime/Win32.h"

namespace rt {

// Traits give the handle type, its empty value and its close function.
template <typename Traits>
class UniqueResource {
public:
    using T = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const { return value_; }
    explicit operator bool() const { return !IsEmpty(value_); }
    T release() { return std::exchange(value_, Traits::Empty()); }
    void reset(T value = Traits::Empty()) {
        T old = std::exchange(value_, IsEmpty(value) ? Traits::Empty() : value);
        if (!IsEmpty(old)) Traits::Close(old);
    }

private:
    // Null is never a handle to close, whatever value a function reports
    // failure with.
    static bool IsEmpty(T value) { return value == Traits::Empty() || value == T(); }

    T value_ = Traits::Empty();
};

// CreateFile and FindFirstFile report failure with INVALID_HANDLE_VALUE;
// most other handle functions with null.
struct FileTraits {
    using Type = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct HandleTraits {
    using Type = HANDLE;
    static HANDLE Empty() { return nullptr; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FindTraits {
    using Type = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
struct InternetTraits {
    using Type = HINTERNET;
    static HINTERNET Empty() { return nullptr; }
    static void Close(HINTERNET h) { ::InternetCloseHandle(h); }
};
struct LocalTraits {
    using Type = HLOCAL;
    static HLOCAL Empty() { return nullptr; }
    static void Close(HLOCAL h) { ::LocalFree(h); }
};
struct IdListTraits {
    using Type = LPITEMIDLIST;
    static LPITEMIDLIST Empty() { return nullptr; }
    static void Close(LPITEMIDLIST p) { ::CoTaskMemFree(p); }
};

using UniqueFile = UniqueResource<FileTraits>;
using UniqueHandle = UniqueResource<HandleTraits>;
using UniqueFind = UniqueResource<FindTraits>;
using UniqueInternet = UniqueResource<InternetTraits>;
using UniqueLocal = UniqueResource<LocalTraits>;
using UniqueIdList = UniqueResource<IdListTraits>;

// Owns one reference of a COM interface.
template <typename I>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    I* get() const { return p_; }
    I* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For functions that hand out a new reference through an out-parameter.
    I** put() {
        reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    I* p_ = nullptr;
};

}  // namespace rt
