// What the Windows window and the system's dialogs it opens show under
// Wine: the folder chooser's title, read from its window, and the window
// drawn whole as it changes, read from the X server's screen.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <wx/notebook.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "GuiFixture.h"
#include "XServer_win32.h"
#include "res/UiText.h"
#include "view/ControlIds.h"

namespace {

class WindowsLookTest : public GuiTest {
public:
    using GuiTest::PumpUntil;
};

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

// The system's hint, or the toolkit's where the system draws none, shows
// in the empty field once the saved settings are in.
TEST_F(WindowsLookTest, ExcludeFieldShowsItsHint) {
    OpenWindow();
    const auto hwnd = static_cast<HWND>(Control(ctl::kExcludeFolders)->GetHandle());
    wchar_t szText[256] = {}, szCue[256] = {};
    ::GetWindowTextW(hwnd, szText, 256);
    ::SendMessageW(hwnd, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(szCue), 256);
    const wxString strHint = wxString::FromUTF8(UiText::kExcludeHint.data());
    EXPECT_TRUE(strHint == szText || strHint == szCue) << wxString(szText) << wxString(szCue);
}

// The screen under openbox (maximising needs a window manager), in a
// folder of the test's own; each script ends by making a file to wait for.
class CXScreen {
public:
    CXScreen() {
        Run("mkdir -p " + m_dir + "; openbox & echo $! >" + m_dir +
            "/wm; until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q id; do sleep 0.1; done");
    }
    ~CXScreen() { StartOnXServer("kill $(cat " + m_dir + "/wm); rm -rf " + m_dir); }
    void Run(const std::string& script, bool bWait = true) {
        const std::string done = m_dir + "/done" + std::to_string(++m_nRuns);
        StartOnXServer(script + "; touch " + done);
        const auto finished = [&] { return std::filesystem::exists("Z:" + done); };
        if (bWait) {
            EXPECT_TRUE(WindowsLookTest::PumpUntil(finished, 20000)) << script;
        }
    }
    // The pixels of rect: Wine hands its drawing to the X server on a beat
    // of its own, so a picture counts once two in a row agree.
    void Shot(const std::string& name, const RECT& rect) {
        const std::string crop = std::to_string(rect.right - rect.left) + "x" +
                                 std::to_string(rect.bottom - rect.top) + "+" +
                                 std::to_string(rect.left) + "+" + std::to_string(rect.top);
        const std::string shoot = "import -window root -crop " + crop + " +repage " + m_dir + "/";
        Run("cd " + m_dir + "; " + shoot + "a.png; for i in 1 2 3 4 5 6 7 8 9; do " + shoot +
            "b.png; compare -metric AE a.png b.png null: 2>/dev/null && break; mv b.png a.png; "
            "done; mv a.png " +
            name + ".png");
    }
    long Differing(const std::string& a, const std::string& b) {
        Run("cd " + m_dir + "; compare -metric AE " + a + ".png " + b + ".png null: 2>ae");
        std::ifstream in("Z:" + m_dir + "/ae");
        long n = -1;
        in >> n;
        return n;
    }
    const std::string m_dir = "/tmp/kesmora-screen-" + std::to_string(::GetTickCount64());
    int m_nRuns = 0;
};

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
// what painting every window of it again draws.
TEST_F(WindowsLookTest, WhatIsOnScreenAfterEachChangeIsWhatAFullRepaintDraws) {
    CXScreen screen;
    OpenWindow();
    const HWND hwndFrame = static_cast<HWND>(m_pFrame->GetHandle());
    auto* pTab = static_cast<wxNotebook*>(Control(ctl::kTab));
    const auto drag = [&] {
        // openbox carries out each size as it does for a drag of the corner.
        std::string script = "true";
        for (int i = 1; i <= 12; ++i) {
            script += "; xdotool search --name 'Visual C' windowsize %@ " +
                      std::to_string(800 + 15 * i) + " " + std::to_string(600 + 10 * i);
        }
        screen.Run(script);
    };
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"maximised", [&] { m_pFrame->Maximize(true); }},
        {"restored", [&] { m_pFrame->Maximize(false); }},
        {"at 800x600", [&] { m_pFrame->SetSize(800, 600); }},
        {"on the file page", [&] { pTab->SetSelection(1); }},
        {"on the date page", [&] { pTab->SetSelection(2); }},
        {"on the other page", [&] { pTab->SetSelection(3); }},
        {"in the project view", [&] { Click(ctl::kRadioProjectView); }},
        // As the system has it redraw itself, e.g. for new colours.
        {"the strip alone repainted", [&] { pTab->Refresh(); }},
        {"corner dragged", drag},
        {"maximised again", [&] { m_pFrame->Maximize(true); }},
        {"back on the folder page", [&] { pTab->SetSelection(0); }},
    };
    const auto settle = [&](const char* pszName) {
        m_pView->m_list->SetFocus();  // one focus frame in both pictures
        ASSERT_TRUE(PumpUntil([&] { return !PaintPending(hwndFrame); }));
        RECT client{};
        ::GetClientRect(hwndFrame, &client);
        ::MapWindowPoints(hwndFrame, nullptr, reinterpret_cast<POINT*>(&client), 2);
        screen.Shot(pszName, client);
    };
    for (const auto& [what, change] : steps) {
        change();
        settle("shown");
        ::RedrawWindow(hwndFrame, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
        settle("repainted");
        EXPECT_EQ(screen.Differing("shown", "repainted"), 0) << what;
    }
}

}  // namespace
