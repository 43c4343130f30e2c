#include "shellext/VNTView.h"

#include <QFile>
#include <QString>

#include <new>

#include "shellext/ShellBitmap.h"
#include "shellext/ThumbExtract.h"

std::atomic<long> g_cModuleLocks{0};

VNTView::VNTView() { ++g_cModuleLocks; }

VNTView::~VNTView() { --g_cModuleLocks; }

HRESULT VNTView::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPersistFile) *ppv = static_cast<IPersistFile*>(this);
    else if (riid == IID_IExtractImage) *ppv = static_cast<IExtractImage*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG VNTView::AddRef() { return ++m_cRef; }

ULONG VNTView::Release()
{
    const ULONG count = --m_cRef;
    if (count == 0) delete this;
    return count;
}

HRESULT VNTView::GetClassID(CLSID*) { return E_NOTIMPL; }
HRESULT VNTView::IsDirty() { return E_NOTIMPL; }
HRESULT VNTView::Save(LPCOLESTR, BOOL) { return E_NOTIMPL; }
HRESULT VNTView::SaveCompleted(LPCOLESTR) { return E_NOTIMPL; }
HRESULT VNTView::GetCurFile(LPOLESTR*) { return E_NOTIMPL; }

HRESULT VNTView::Load(LPCOLESTR fileName, DWORD)
{
    // The name is kept in the file system's 8-bit encoding, as Windows keeps it
    // in the ANSI code page; a null name counts as empty.
    const QByteArray name = fileName ? QFile::encodeName(QString::fromUtf16(fileName)) : QByteArray();
    if (name.size() >= MAX_NAME) {
        m_szFile[0] = '\0';
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    }
    std::memcpy(m_szFile, name.constData(), size_t(name.size()) + 1);
    return S_OK;
}

HRESULT VNTView::GetLocation(LPWSTR, DWORD, DWORD* priority, const SIZE* size, DWORD, DWORD* flags)
{
    if (size) m_size = *size;
    if (flags && (*flags & IEIFLAG_ASYNC)) {
        if (priority) *priority = 0xF0000000;
        return E_PENDING;
    }
    return S_OK;
}

HRESULT VNTView::Extract(HBITMAP* bitmap)
{
    if (!bitmap) return E_POINTER;
    QImage image;
    try {
        if (!ExtractThumbnail(QByteArray(m_szFile), QSize(m_size.cx, m_size.cy), image)) return E_FAIL;
        *bitmap = BitmapFromImage(std::move(image));
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    return S_OK;
}

HRESULT VNTViewFactory::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *ppv = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT VNTViewFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    VNTView* view = new (std::nothrow) VNTView;
    if (!view) return E_OUTOFMEMORY;
    const HRESULT hr = view->QueryInterface(riid, ppv);
    view->Release();
    return hr;
}

HRESULT VNTViewFactory::LockServer(BOOL lock)
{
    if (lock) ++g_cModuleLocks;
    else --g_cModuleLocks;
    return S_OK;
}
