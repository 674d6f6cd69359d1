// The Recycle Bin through the shell's own file operation, the way Explorer
// moves a file there.
#include "removal/Trash_win32.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include "walk/ApiPath_win32.h"
#include "walk/DirReader.h"

namespace {

// The shell parses plain paths: the \\?\ form the file API takes is
// given back as the path it stands for.
std::wstring ShellPath(const std::wstring& wpath) {
    if (wpath.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + wpath.substr(8);
    if (wpath.rfind(L"\\\\?\\", 0) == 0) return wpath.substr(4);
    return wpath;
}

// The shell's own result as the error a system text is found for.
DWORD ShellError(HRESULT hr) {
    return HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : static_cast<DWORD>(hr);
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
                                             IShellItem* psiNewlyCreated) override {
        m_bRecycled = SUCCEEDED(hrDelete);
        m_hrDelete = hrDelete;
        PWSTR pszBin = nullptr;
        if (psiNewlyCreated != nullptr &&
            SUCCEEDED(psiNewlyCreated->GetDisplayName(SIGDN_FILESYSPATH, &pszBin))) {
            m_wbin = pszBin;
            ::CoTaskMemFree(pszBin);
        }
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
    bool Refused() const { return m_bRefused; }
    HRESULT DeleteResult() const { return m_hrDelete; }
    // Where the Recycle Bin keeps what the shell moved; empty when the
    // shell did not say.
    const std::wstring& BinPath() const { return m_wbin; }

private:
    bool m_bRefused = false;
    bool m_bRecycled = false;
    HRESULT m_hrDelete = S_OK;
    std::wstring m_wbin;
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

// Whether the entry at wbin is the very file that was checked.
bool IsCheckedFile(const std::wstring& wbin, const FolderId& checked) {
    const HANDLE h = ::CreateFileW(
        wbin.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FolderId id;
    const bool bRead = HandleId(h, id);
    ::CloseHandle(h);
    return bRead && id == checked;
}

}  // namespace

// Anything but the file checked (or what cannot be told) goes back where it
// stood, never over what took its place since. Where the bin names its
// entry "$R...", its index of it is "$I..." beside it: that goes too, so
// the bin lists nothing it no longer holds.
bool KeepRecycledIfChecked(const std::wstring& wentry, std::wstring wbin, const FolderId& checked,
                           RemovalFailure& why) {
    PrefixIfLong(wbin);
    if (IsCheckedFile(wbin, checked)) return true;
    if (!::MoveFileExW(wbin.c_str(), wentry.c_str(), 0)) {
        why = RemovalFailure::Of(RemovalFailure::kSwappedInRecycleBin, ::GetLastError());
        return false;
    }
    const std::size_t nName = wbin.find_last_of(L'\\') + 1;
    if (wbin.compare(nName, 2, L"$R") == 0) {
        wbin[nName + 1] = L'I';
        ::DeleteFileW(wbin.c_str());
    }
    why = RemovalFailure::Of(RemovalFailure::kSwappedPutBack);
    return false;
}

bool RecycleFile(const std::wstring& wpath, const FolderId& checked, RemovalFailure& why) {
    const std::wstring path = ShellPath(wpath);
    const CComScope com;
    CComPtr<IFileOperation> operation;
    CComPtr<IShellItem> item;
    HRESULT hr =
        ::CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&operation));
    if (SUCCEEDED(hr))
        hr = ::SHCreateItemFromParsingName(path.c_str(), nullptr, IID_PPV_ARGS(&item));
    CRecycleOnly sink;
    DWORD cookie = 0;
    // A read-only file goes to the Recycle Bin as it is, attributes and all.
    if (SUCCEEDED(hr)) {
        hr = operation->SetOperationFlags(FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT |
                                          FOF_NOERRORUI | FOFX_RECYCLEONDELETE | FOFX_EARLYFAILURE);
    }
    if (SUCCEEDED(hr)) hr = operation->Advise(&sink, &cookie);
    if (FAILED(hr)) {
        why = RemovalFailure::Of(RemovalFailure::kShellRefused, ShellError(hr));
        return false;
    }
    hr = operation->DeleteItem(item.operator->(), nullptr);
    if (SUCCEEDED(hr)) hr = operation->PerformOperations();
    BOOL bAborted = FALSE;
    operation->GetAnyOperationsAborted(&bAborted);
    operation->Unadvise(cookie);
    if (sink.Refused()) {
        why = RemovalFailure::Of(RemovalFailure::kRecycleBinRefused);
        return false;
    }
    if (FAILED(hr) || bAborted || !sink.Recycled()) {
        const HRESULT hrWhy = FAILED(sink.DeleteResult()) ? sink.DeleteResult() : hr;
        why =
            RemovalFailure::Of(RemovalFailure::kNotRecycled, FAILED(hrWhy) ? ShellError(hrWhy) : 0);
        return false;
    }
    std::wstring wlong = wpath;
    PrefixIfLong(wlong);
    const std::wstring& wbin = sink.BinPath();
    if (wbin.empty() ||
        ::CompareStringOrdinal(wbin.c_str(), -1, path.c_str(), -1, TRUE) == CSTR_EQUAL) {
        // What went cannot be compared: another file may have taken the
        // name before the shell came. It is not called recycled.
        why = ::GetFileAttributesW(wlong.c_str()) != INVALID_FILE_ATTRIBUTES
                  ? RemovalFailure::Of(RemovalFailure::kStillThere)
                  : RemovalFailure::Of(RemovalFailure::kRecycledUnchecked);
        return false;
    }
    return KeepRecycledIfChecked(wlong, wbin, checked, why);
}
