// Windows body: the catalogue is a resource of the program, a question is
// asked in a task dialog of our own, which can show the question icon, and
// the folder chooser is the shell's, titled with the program's prompt.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shobjidl.h>
#include <wx/dirdlg.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/toplevel.h>
#include <wx/translation.h>

#include <memory>

#include "view/DialogLook.h"

namespace {

using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// Only in version 6 of the common controls, which the program's manifest
// asks for: looked up, not linked, so a program without it still starts.
TaskDialogIndirectFn TaskDialogFunction() {
    static const auto pFunction = reinterpret_cast<TaskDialogIndirectFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"comctl32.dll"), "TaskDialogIndirect")));
    return pFunction;
}

HWND OwnerOf(wxWindow* pWindow) {
    wxWindow* pOwner = wxGetTopLevelParent(pWindow);
    return pOwner != nullptr ? static_cast<HWND>(pOwner->GetHandle()) : nullptr;
}

// Releases a COM interface when it goes.
template <typename T>
struct ComRelease {
    void operator()(T* p) const { p->Release(); }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComRelease<T>>;

// The chosen folder's path, or empty when the choice has none.
wxString ChosenPath(IFileOpenDialog& chooser) {
    IShellItem* pRaw = nullptr;
    if (FAILED(chooser.GetResult(&pRaw))) return wxString();
    const ComPtr<IShellItem> pItem(pRaw);
    PWSTR pszPath = nullptr;
    if (FAILED(pItem->GetDisplayName(SIGDN_FILESYSPATH, &pszPath))) return wxString();
    const wxString strPath(pszPath);
    ::CoTaskMemFree(pszPath);
    return strPath;
}

}  // namespace

// The resource "wxstd-3.2_ja" of type MOFILE (res/toolkit-ja.rc), in the
// name wx's resource loader looks for.
void UseToolkitCatalogue() {
    auto* pTranslations = new wxTranslations;
    pTranslations->SetLoader(new wxResourceTranslationsLoader);
    pTranslations->SetLanguage("ja");
    pTranslations->AddStdCatalog();
    wxTranslations::Set(pTranslations);
}

void PrepareToolkitDialogs() {}

int ShowMessageBox(wxMessageDialog& box) {
    const long nStyle = box.GetMessageDialogStyle();
    const TaskDialogIndirectFn pTaskDialog = TaskDialogFunction();
    if ((nStyle & wxICON_MASK) != wxICON_QUESTION || (nStyle & wxYES_NO) != 0 ||
        pTaskDialog == nullptr) {
        return box.ShowModal();
    }
    const int nHooked = wxModalDialogHook::CallEnter(&box);
    if (nHooked != wxID_NONE) {
        return nHooked;
    }
    wxModalDialogHookExitGuard exitGuard(&box);

    const wxString strCaption = box.GetCaption();
    const wxString strMessage = box.GetMessage();
    const wxString strOk = box.GetOKLabel();
    const wxString strCancel = box.GetCancelLabel();
    const TASKDIALOG_BUTTON buttons[] = {{IDOK, strOk.wc_str()}, {IDCANCEL, strCancel.wc_str()}};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = OwnerOf(box.GetParent());
    config.dwFlags = TDF_USE_HICON_MAIN | TDF_POSITION_RELATIVE_TO_WINDOW | TDF_SIZE_TO_CONTENT;
    if ((nStyle & wxCANCEL) != 0) {
        config.dwFlags |= TDF_ALLOW_DIALOG_CANCELLATION;
    }
    config.pszWindowTitle = strCaption.wc_str();
    config.pszContent = strMessage.wc_str();
    config.hMainIcon = ::LoadIconW(nullptr, IDI_QUESTION);
    config.pButtons = buttons;
    config.cButtons = (nStyle & wxCANCEL) != 0 ? 2 : 1;
    config.nDefaultButton = (nStyle & wxCANCEL_DEFAULT) != 0 ? IDCANCEL : IDOK;
    int nButton = IDCANCEL;
    if (FAILED(pTaskDialog(&config, &nButton, nullptr, nullptr))) {
        return wxID_CANCEL;
    }
    return nButton == IDOK ? wxID_OK : wxID_CANCEL;
}

// wxDirDialog sets the shell chooser's title before its options, and
// choosing folders resets the title to the system's "Select Folder" under
// Wine: the options first, then the prompt.
int ShowFolderChooser(wxDirDialog& dialog) {
    IFileOpenDialog* pRaw = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&pRaw)))) {
        return dialog.ShowModal();
    }
    const ComPtr<IFileOpenDialog> pChooser(pRaw);
    const int nHooked = wxModalDialogHook::CallEnter(&dialog);
    if (nHooked != wxID_NONE) {
        return nHooked;
    }
    wxModalDialogHookExitGuard exitGuard(&dialog);

    pChooser->SetOptions(FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST |
                         FOS_NOCHANGEDIR);
    pChooser->SetTitle(dialog.GetMessage().wc_str());
    IShellItem* pStart = nullptr;
    if (!dialog.GetPath().empty() &&
        SUCCEEDED(::SHCreateItemFromParsingName(dialog.GetPath().wc_str(), nullptr,
                                                IID_PPV_ARGS(&pStart)))) {
        const ComPtr<IShellItem> pFolder(pStart);
        pChooser->SetFolder(pFolder.get());
    }
    if (FAILED(pChooser->Show(OwnerOf(dialog.GetParent())))) {
        return wxID_CANCEL;
    }
    const wxString strPath = ChosenPath(*pChooser);
    if (strPath.empty()) {
        return wxID_CANCEL;
    }
    dialog.SetPath(strPath);
    return wxID_OK;
}
