// Windows body: the catalogue is a resource of the program, and a question
// is asked in a task dialog of our own, which can show the question icon.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/toplevel.h>
#include <wx/translation.h>

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
    wxWindow* pOwner = wxGetTopLevelParent(box.GetParent());
    config.hwndParent = pOwner != nullptr ? static_cast<HWND>(pOwner->GetHandle()) : nullptr;
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
