#pragma once
// The COM types the thumbnail server speaks, with the layouts and calling
// conventions of the Windows headers: 32-bit HRESULT, ULONG and DWORD,
// 16-bit OLECHAR, the 16-byte GUID, and interfaces as classes of pure
// virtual functions in slot order (one vtable pointer, no virtual destructor).

#include <cstdint>
#include <cstring>

#if defined(__i386__)
#define STDMETHODCALLTYPE __attribute__((stdcall))
#else
#define STDMETHODCALLTYPE
#endif
#define STDAPI extern "C" __attribute__((visibility("default"))) HRESULT STDMETHODCALLTYPE

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = std::int32_t;
using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using LPWSTR = char16_t*;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

struct SIZE {
    LONG cx;
    LONG cy;
};

// On Windows a GDI bitmap handle; here it stands for a QImage allocated with
// new (see ShellBitmap.h). The receiver of a bitmap deletes it.
struct HBITMAP__;
using HBITMAP = HBITMAP__*;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001);
constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002);
constexpr HRESULT E_POINTER = HRESULT(0x80004003);
constexpr HRESULT E_FAIL = HRESULT(0x80004005);
constexpr HRESULT E_PENDING = HRESULT(0x8000000A);
constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000E);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057);
constexpr HRESULT CLASS_E_NOAGGREGATION = HRESULT(0x80040110);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = HRESULT(0x80040111);

constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr HRESULT HRESULT_FROM_WIN32(DWORD code)
{
    return code == 0 ? S_OK : HRESULT((code & 0xFFFF) | (7u << 16) | 0x80000000u);
}

// IExtractImage flags.
constexpr DWORD IEIFLAG_ASYNC = 0x0001;
constexpr DWORD IEIFLAG_CACHE = 0x0002;
constexpr DWORD IEIFLAG_ASPECT = 0x0004;
constexpr DWORD IEIFLAG_OFFLINE = 0x0008;

constexpr GUID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID IID_IPersist = {0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID IID_IPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID IID_IExtractImage = {0xBB2E617C, 0x0920, 0x11d1, {0x9A, 0x0B, 0x00, 0xC0, 0x4F, 0xC2, 0xD6, 0xC1}};

// {3D45B3B9-799D-477F-874F-4A1C5E2A7C8A}: the class VNTView.
constexpr GUID CLSID_VNTView = {0x3D45B3B9, 0x799D, 0x477F, {0x87, 0x4F, 0x4A, 0x1C, 0x5E, 0x2A, 0x7C, 0x8A}};

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;
};

struct IPersist : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) = 0;
};

struct IPersistFile : IPersist {
    virtual HRESULT STDMETHODCALLTYPE IsDirty() = 0;
    virtual HRESULT STDMETHODCALLTYPE Load(LPCOLESTR fileName, DWORD mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE Save(LPCOLESTR fileName, BOOL remember) = 0;
    virtual HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR fileName) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR* fileName) = 0;
};

struct IExtractImage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetLocation(LPWSTR pathBuffer, DWORD bufferLength, DWORD* priority,
                                                  const SIZE* size, DWORD recommendedColorDepth,
                                                  DWORD* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Extract(HBITMAP* bitmap) = 0;
};

// The four entry points, as a host resolves them by name.
using PFN_DllGetClassObject = HRESULT(STDMETHODCALLTYPE*)(REFCLSID, REFIID, void**);
using PFN_DllCanUnloadNow = HRESULT(STDMETHODCALLTYPE*)();
using PFN_DllRegisterServer = HRESULT(STDMETHODCALLTYPE*)();
using PFN_DllUnregisterServer = HRESULT(STDMETHODCALLTYPE*)();
