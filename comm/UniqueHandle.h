#pragma once
// Owning wrappers for Win32 handles: each handle kind closes with its own function.
#include <windows.h>
#include <winsvc.h>

#include <utility>

template <typename Traits>
class CUniqueHandle {
public:
    using Type = typename Traits::Type;

    CUniqueHandle() = default;
    explicit CUniqueHandle(Type h) : h_(h) {}
    ~CUniqueHandle() { Reset(); }
    CUniqueHandle(CUniqueHandle&& other) noexcept : h_(other.Release()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;

    Type Get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::Invalid(); }
    Type Release() { return std::exchange(h_, Traits::Invalid()); }
    void Reset(Type h = Traits::Invalid())
    {
        if (h_ != Traits::Invalid())
            Traits::Close(h_);
        h_ = h;
    }
    // For APIs that fill a handle through a pointer.
    Type* Receive()
    {
        Reset();
        return &h_;
    }

private:
    Type h_ = Traits::Invalid();
};

struct KernelHandleTraits { // events, threads, processes, mappings: invalid is null
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { CloseHandle(h); }
};
struct FileHandleTraits { // CreateFile: invalid is INVALID_HANDLE_VALUE
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { FindClose(h); }
};
struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { RegCloseKey(h); }
};
struct ServiceHandleTraits {
    using Type = SC_HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { CloseServiceHandle(h); }
};
struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DeleteObject(h); }
};
struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DeleteDC(h); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { FreeLibrary(h); }
};

using CKernelHandle = CUniqueHandle<KernelHandleTraits>;
using CFileHandle = CUniqueHandle<FileHandleTraits>;
using CFindHandle = CUniqueHandle<FindHandleTraits>;
using CRegKey = CUniqueHandle<RegKeyTraits>;
using CServiceHandle = CUniqueHandle<ServiceHandleTraits>;
using CGdiObject = CUniqueHandle<GdiObjectTraits>;
using CMemoryDc = CUniqueHandle<MemoryDcTraits>;
using CModuleHandle = CUniqueHandle<ModuleTraits>;
