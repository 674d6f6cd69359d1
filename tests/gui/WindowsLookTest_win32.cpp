// What the Windows window and the system's dialogs it opens show under
// Wine, read from the windows themselves: the folder chooser's title.
#include <windows.h>

#include <string>

#include "GuiFixture.h"
#include "res/UiText.h"

namespace {

class WindowsLookTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        OpenWindow();
        // The recorder would answer the chooser before the system shows it.
        m_pDialogs.reset();
    }
};

// The system's dialog runs its own message loop: a thread timer reads the
// title of the dialog the window owns there, then cancels it.
std::wstring g_strTitle;
HWND g_hwndOwner = nullptr;

void CALLBACK ReadTitleAndCancel(HWND, UINT, UINT_PTR nTimer, DWORD) {
    HWND hwndDialog = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            wchar_t szClass[16] = {};
            ::GetClassNameW(hwnd, szClass, 16);
            if (std::wstring(szClass) != L"#32770" || !::IsWindowVisible(hwnd) ||
                ::GetWindow(hwnd, GW_OWNER) != g_hwndOwner) {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(lParam) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&hwndDialog));
    if (hwndDialog == nullptr) return;
    ::KillTimer(nullptr, nTimer);
    wchar_t szTitle[256] = {};
    ::GetWindowTextW(hwndDialog, szTitle, 256);
    g_strTitle = szTitle;
    ::PostMessageW(hwndDialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(WindowsLookTest, FolderChooserIsTitledWithTheProgramsPrompt) {
    g_strTitle.clear();
    g_hwndOwner = static_cast<HWND>(m_pFrame->GetHandle());
    ::SetTimer(nullptr, 0, 50, ReadTitleAndCancel);
    wxString strChosen;
    EXPECT_FALSE(m_pView->ChooseFolder(
        wxString::FromUTF8(UiText::kBrowseFolderTitle.data(), UiText::kBrowseFolderTitle.size()),
        m_configHome.wstring(), strChosen));
    EXPECT_EQ(wxString(g_strTitle).utf8_string(), UiText::kBrowseFolderTitle);
}

}  // namespace
