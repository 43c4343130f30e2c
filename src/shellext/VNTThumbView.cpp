// The four entry points of the in-process server. They are the library's
// only exported symbols (see VNTThumbView.map).

#include "shellext/ComTypes.h"
#include "shellext/Registration.h"
#include "shellext/VNTView.h"

namespace {
VNTViewFactory g_factory;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!(rclsid == CLSID_VNTView)) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow()
{
    return g_cModuleLocks.load() == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer()
{
    return RegisterThumbnailer(FindThumbnailerProgram());
}

STDAPI DllUnregisterServer()
{
    return UnregisterThumbnailer();
}
