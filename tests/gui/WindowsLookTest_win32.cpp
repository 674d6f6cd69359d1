// What the Windows window and the system's dialogs it opens show under
// Wine, read from the windows themselves: the folder chooser's title.
#include <windows.h>

#include <string>

#include "GuiFixture.h"
#include "res/UiText.h"

namespace {

using WindowsLookTest = GuiTest;

// The system's dialog runs its own message loop: a thread timer reads the
// title of the window active there, then cancels it.
std::wstring g_strTitle;
HWND g_hwndFrame = nullptr;

void CALLBACK ReadTitleAndCancel(HWND, UINT, UINT_PTR nTimer, DWORD) {
    const HWND hwndDialog = ::GetActiveWindow();
    if (hwndDialog == nullptr || hwndDialog == g_hwndFrame) return;
    ::KillTimer(nullptr, nTimer);
    wchar_t szTitle[256] = {};
    ::GetWindowTextW(hwndDialog, szTitle, 256);
    g_strTitle = szTitle;
    ::PostMessageW(hwndDialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(WindowsLookTest, FolderChooserIsTitledWithTheProgramsPrompt) {
    OpenWindow();
    m_pDialogs.reset();  // it would answer before the system shows the chooser
    g_hwndFrame = static_cast<HWND>(m_pFrame->GetHandle());
    ::SetTimer(nullptr, 0, 50, ReadTitleAndCancel);
    const wxString strPrompt = wxString::FromUTF8(UiText::kBrowseFolderTitle.data());
    wxString strChosen;
    EXPECT_FALSE(m_pView->ChooseFolder(strPrompt, m_configHome.wstring(), strChosen));
    EXPECT_EQ(wxString(g_strTitle), strPrompt);
}

}  // namespace
