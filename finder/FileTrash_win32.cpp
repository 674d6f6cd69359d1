// Windows body of TrashFile: the shell's own file operation, the way
// Explorer moves a file to the Recycle Bin.
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <string>

#include "finder/FileUtil.h"
#include "tavoBasis/WideText_win32.h"

namespace {

// The listed entry, checked name by name below the root: every folder a
// real one (no junction, no link) and the entry itself no folder. Empty
// when it is not so.
std::wstring CheckedPath(const std::string& strRoot, const std::string& strPath) {
    std::string strRelative;
    if (!PathBelowRoot(strRoot, strPath, strRelative)) return {};
    std::wstring path;
    std::wstring relative;
    if (!Widen(strRoot, path) || path.empty() || !Widen(strRelative, relative)) return {};
    if (path.back() != L'\\' && path.back() != L'/') path += L'\\';
    std::size_t start = 0;
    for (;;) {
        const std::size_t sep = relative.find(L'\\', start);
        path.append(relative, start, sep == std::wstring::npos ? std::wstring::npos : sep - start);
        const DWORD attrs = ::GetFileAttributesW(path.c_str());
        if (attrs == INVALID_FILE_ATTRIBUTES) return {};
        if (sep == std::wstring::npos) {
            return (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0 ? std::wstring() : path;
        }
        if ((attrs & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            (attrs & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            return {};
        }
        path += L'\\';
        start = sep + 1;
    }
}

// Refuses a deletion the shell would make for good: where the Recycle Bin
// cannot take a file, the shell deletes it outright unless told no here.
class CRecycleOnly : public IFileOperationProgressSink {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IFileOperationProgressSink) {
            *ppv = static_cast<IFileOperationProgressSink*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the caller's stack for the one operation.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE PreDeleteItem(DWORD dwFlags, IShellItem*) override {
        if ((dwFlags & TSF_DELETE_RECYCLE_IF_POSSIBLE) == 0) {
            m_bRefused = true;
            return E_ABORT;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostDeleteItem(DWORD, IShellItem*, HRESULT hrDelete,
                                             IShellItem*) override {
        m_bRecycled = SUCCEEDED(hrDelete);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE StartOperations() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FinishOperations(HRESULT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PreRenameItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostRenameItem(DWORD, IShellItem*, LPCWSTR, HRESULT,
                                             IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT,
                                           IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT,
                                           IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreNewItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostNewItem(DWORD, IShellItem*, LPCWSTR, LPCWSTR, DWORD, HRESULT,
                                          IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UpdateProgress(UINT, UINT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResetTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PauseTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResumeTimer() override { return S_OK; }

    bool Recycled() const { return m_bRecycled && !m_bRefused; }

private:
    bool m_bRefused = false;
    bool m_bRecycled = false;
};

// COM for the calling thread, for as long as the call lasts; a thread that
// already runs COM in another mode keeps it.
class CComScope {
public:
    CComScope() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CComScope() {
        if (SUCCEEDED(m_hr)) ::CoUninitialize();
    }

private:
    HRESULT m_hr;
};

template <class T>
class CComPtr {
public:
    ~CComPtr() {
        if (m_p != nullptr) m_p->Release();
    }
    T** operator&() { return &m_p; }
    T* operator->() const { return m_p; }

private:
    T* m_p = nullptr;
};

}  // namespace

bool TrashFile(const std::string& strRoot, const std::string& strPath) {
    const std::wstring path = CheckedPath(strRoot, strPath);
    if (path.empty()) return false;
    const CComScope com;
    CComPtr<IFileOperation> operation;
    CComPtr<IShellItem> item;
    if (FAILED(::CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL,
                                  IID_PPV_ARGS(&operation))) ||
        FAILED(::SHCreateItemFromParsingName(path.c_str(), nullptr, IID_PPV_ARGS(&item)))) {
        return false;
    }
    CRecycleOnly sink;
    DWORD cookie = 0;
    // A read-only file goes to the Recycle Bin as it is, attributes and all.
    if (FAILED(operation->SetOperationFlags(FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT |
                                            FOF_NOERRORUI | FOFX_RECYCLEONDELETE |
                                            FOFX_EARLYFAILURE)) ||
        FAILED(operation->Advise(&sink, &cookie))) {
        return false;
    }
    const bool bDone = SUCCEEDED(operation->DeleteItem(item.operator->(), nullptr)) &&
                       SUCCEEDED(operation->PerformOperations());
    BOOL bAborted = FALSE;
    operation->GetAnyOperationsAborted(&bAborted);
    operation->Unadvise(cookie);
    return bDone && !bAborted && sink.Recycled() &&
           ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}
