#pragma once

#include <QSize>

#include <atomic>

#include "shellext/ComTypes.h"

// The module's count of live objects and server locks, read by DllCanUnloadNow.
extern std::atomic<long> g_cModuleLocks;

// One thumbnail extraction: the shell hands over the file name (Load), the
// size it wants (GetLocation), then asks for the bitmap (Extract).
class VNTView final : public IPersistFile, public IExtractImage {
public:
    // Linux paths reach 4096 bytes with their end; names of up to 4095 bytes fit.
    static constexpr int MAX_NAME = 4096;

    VNTView();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR fileName, DWORD mode) override;
    HRESULT STDMETHODCALLTYPE Save(LPCOLESTR fileName, BOOL remember) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR fileName) override;
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR* fileName) override;

    HRESULT STDMETHODCALLTYPE GetLocation(LPWSTR pathBuffer, DWORD bufferLength, DWORD* priority, const SIZE* size,
                                          DWORD recommendedColorDepth, DWORD* flags) override;
    HRESULT STDMETHODCALLTYPE Extract(HBITMAP* bitmap) override;

private:
    ~VNTView();

    std::atomic<ULONG> m_cRef{1};
    char m_szFile[MAX_NAME] = {};
    SIZE m_size = {0, 0};
};

// The class object: creates VNTView objects. One static instance serves the
// module; its references do not count, LockServer does.
class VNTViewFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
};
