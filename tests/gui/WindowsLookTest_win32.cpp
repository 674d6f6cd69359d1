// What the Windows window and the system's dialogs it opens show under
// Wine, read from the windows and the screen themselves: the folder
// chooser's title, and the window drawn whole after it grows.
#include <windows.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/notebook.h>

#include <cstring>
#include <functional>
#include <string>

#include "GuiFixture.h"
#include "res/UiText.h"
#include "view/ControlIds.h"

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

// What the display shows over rect.
wxImage ScreenImage(const wxRect& rect) {
    wxScreenDC screen;
    wxBitmap bitmap(rect.GetSize());
    wxMemoryDC memory(bitmap);
    memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    memory.SelectObject(wxNullBitmap);
    return bitmap.ConvertToImage();
}

// True while a window of the frame still has something to paint.
bool PaintPending(HWND hwndFrame) {
    bool bPending = ::GetUpdateRect(hwndFrame, nullptr, FALSE);
    ::EnumChildWindows(
        hwndFrame,
        [](HWND hwnd, LPARAM lParam) {
            *reinterpret_cast<bool*>(lParam) |= ::GetUpdateRect(hwnd, nullptr, FALSE) != FALSE;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&bPending));
    return bPending;
}

// After each way the window grows or changes its page, the screen shows
// what a full repaint of the window draws. The focused field's caret may
// blink between the two pictures: a few pixels are allowed for it.
TEST_F(WindowsLookTest, WhatIsDrawnAfterTheWindowGrowsIsWhatAFullRepaintDraws) {
    OpenWindow();
    const HWND hwndFrame = static_cast<HWND>(m_pFrame->GetHandle());
    auto* pTab = static_cast<wxNotebook*>(Control(ctl::kTab));
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"maximised", [&] { m_pFrame->Maximize(true); }},
        {"restored", [&] { m_pFrame->Maximize(false); }},
        {"enlarged", [&] { m_pFrame->SetSize(800, 600); }},
        {"on the other page", [&] { pTab->SetSelection(3); }},
        {"enlarged again", [&] { m_pFrame->SetSize(1000, 700); }},
        {"back on the folder page", [&] { pTab->SetSelection(0); }},
    };
    for (const auto& [what, change] : steps) {
        change();
        ASSERT_TRUE(PumpUntil([&] { return !PaintPending(hwndFrame); })) << what;
        const wxRect rect = m_pFrame->GetScreenRect();
        const wxImage shown = ScreenImage(rect);
        ::RedrawWindow(hwndFrame, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
        ASSERT_TRUE(PumpUntil([&] { return !PaintPending(hwndFrame); })) << what;
        const wxImage repainted = ScreenImage(rect);
        int nDiffering = 0;
        for (int i = 0; i < rect.width * rect.height * 3; i += 3) {
            nDiffering += std::memcmp(shown.GetData() + i, repainted.GetData() + i, 3) != 0;
        }
        EXPECT_LE(nDiffering, 40) << what << ", " << rect.width << "x" << rect.height;
    }
}

}  // namespace
