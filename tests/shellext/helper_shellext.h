#pragma once
// The thumbnail server as a shell sees it: the built library opened with
// dlopen and driven through its four exports and the COM interfaces.
#include <QString>
#include <QTemporaryDir>

#include <dlfcn.h>

#include "shellext/ComTypes.h"

class ServerLibrary {
public:
    ServerLibrary() : m_handle(dlopen(VNT_THUMBVIEW_LIBRARY, RTLD_NOW | RTLD_LOCAL)) {}
    ~ServerLibrary() { if (m_handle) dlclose(m_handle); }
    bool isOpen() const { return m_handle != nullptr; }
    template <typename F> F entry(const char* name) const { return reinterpret_cast<F>(dlsym(m_handle, name)); }

    HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** ppv) const
    {
        return entry<PFN_DllGetClassObject>("DllGetClassObject")(clsid, iid, ppv);
    }
    HRESULT canUnloadNow() const { return entry<PFN_DllCanUnloadNow>("DllCanUnloadNow")(); }
    HRESULT registerServer() const { return entry<PFN_DllRegisterServer>("DllRegisterServer")(); }
    HRESULT unregisterServer() const { return entry<PFN_DllUnregisterServer>("DllUnregisterServer")(); }

    // A new VNTView through the class factory, asked for IPersistFile.
    IPersistFile* createView() const
    {
        IClassFactory* factory = nullptr;
        if (getClassObject(CLSID_VNTView, IID_IClassFactory, reinterpret_cast<void**>(&factory)) != S_OK) return nullptr;
        IPersistFile* view = nullptr;
        factory->CreateInstance(nullptr, IID_IPersistFile, reinterpret_cast<void**>(&view));
        factory->Release();
        return view;
    }

private:
    void* m_handle;
};

inline IExtractImage* extractorOf(IPersistFile* view)
{
    IExtractImage* extractor = nullptr;
    view->QueryInterface(IID_IExtractImage, reinterpret_cast<void**>(&extractor));
    return extractor;
}

inline HRESULT loadName(IPersistFile* view, const QString& path)
{
    return view->Load(reinterpret_cast<LPCOLESTR>(path.utf16()), 0);
}
