// What the Windows window and the system's dialogs it opens show under
// Wine, read from the windows and the screen themselves: the folder
// chooser's title, and the window drawn whole after it grows.
#include <windows.h>
#include <wx/notebook.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "GuiFixture.h"
#include "res/UiText.h"
#include "view/ControlIds.h"

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

// The screen's pixels over rect, as the display shows them.
std::vector<std::uint32_t> ScreenPixels(const wxRect& rect) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(rect.width) * rect.height);
    HDC hdcScreen = ::GetDC(nullptr);
    HDC hdcCopy = ::CreateCompatibleDC(hdcScreen);
    HBITMAP hbmCopy = ::CreateCompatibleBitmap(hdcScreen, rect.width, rect.height);
    HGDIOBJ hOld = ::SelectObject(hdcCopy, hbmCopy);
    ::BitBlt(hdcCopy, 0, 0, rect.width, rect.height, hdcScreen, rect.x, rect.y, SRCCOPY);
    ::SelectObject(hdcCopy, hOld);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = rect.width;
    info.bmiHeader.biHeight = -rect.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::GetDIBits(hdcCopy, hbmCopy, 0, static_cast<UINT>(rect.height), pixels.data(), &info,
                DIB_RGB_COLORS);
    ::DeleteObject(hbmCopy);
    ::DeleteDC(hdcCopy);
    ::ReleaseDC(nullptr, hdcScreen);
    return pixels;
}

// True while a window of the frame still has something to paint.
bool PaintPending(HWND hwndFrame) {
    if (::GetUpdateRect(hwndFrame, nullptr, FALSE)) return true;
    bool bPending = false;
    ::EnumChildWindows(
        hwndFrame,
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            if (!::GetUpdateRect(hwnd, nullptr, FALSE)) return TRUE;
            *reinterpret_cast<bool*>(lParam) = true;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&bPending));
    return bPending;
}

// After each way the window grows or changes its page, the screen shows
// what a full repaint of the window draws. The focused field's caret may
// blink between the two pictures: a few pixels are allowed for it.
TEST_F(WindowsLookTest, WhatIsDrawnAfterTheWindowGrowsIsWhatAFullRepaintDraws) {
    const HWND hwndFrame = static_cast<HWND>(m_pFrame->GetHandle());
    auto* pTab = static_cast<wxNotebook*>(Control(ctl::kTab));
    const struct {
        const char* what;
        std::function<void()> change;
    } steps[] = {
        {"maximised", [&] { m_pFrame->Maximize(true); }},
        {"restored", [&] { m_pFrame->Maximize(false); }},
        {"enlarged", [&] { m_pFrame->SetSize(800, 600); }},
        {"on the その他 page", [&] { pTab->SetSelection(3); }},
        {"enlarged again", [&] { m_pFrame->SetSize(1000, 700); }},
        {"back on the フォルダ page", [&] { pTab->SetSelection(0); }},
    };
    for (const auto& step : steps) {
        step.change();
        ASSERT_TRUE(PumpUntil([&] { return !PaintPending(hwndFrame); })) << step.what;
        const wxRect rect = m_pFrame->GetScreenRect();
        const std::vector<std::uint32_t> shown = ScreenPixels(rect);
        ::RedrawWindow(hwndFrame, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
        ASSERT_TRUE(PumpUntil([&] { return !PaintPending(hwndFrame); })) << step.what;
        const std::vector<std::uint32_t> repainted = ScreenPixels(rect);
        std::size_t nDiffering = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) nDiffering += shown[i] != repainted[i];
        EXPECT_LE(nDiffering, 40u) << step.what << ", " << rect.width << "x" << rect.height;
    }
}

}  // namespace
