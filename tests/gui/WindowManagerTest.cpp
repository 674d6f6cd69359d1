// Maximised and minimised windows come back in that state; the minimum
// size holds. These need a window manager, so each case starts openbox.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/statusbr.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "GuiFixture.h"
#include "OtherClient.h"

extern char** environ;

namespace {

class WindowManagerTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        char arg0[] = "openbox";
        char* argv[] = {arg0, nullptr};
        ASSERT_EQ(posix_spawnp(&m_wmPid, "openbox", nullptr, nullptr, argv, environ), 0);
        WaitForWindowManager();
    }

    void TearDown() override {
        GuiTest::TearDown();
        if (m_wmPid > 0) {
            kill(m_wmPid, SIGTERM);
            waitpid(m_wmPid, nullptr, 0);
        }
    }

    // openbox announces itself on the root window once it manages windows.
    static void WaitForWindowManager() {
        for (int i = 0; i < 100; ++i) {
            FILE* pPipe = popen("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null", "r");
            char line[256] = {};
            const bool bRead = pPipe != nullptr && fgets(line, sizeof line, pPipe) != nullptr;
            if (pPipe != nullptr) {
                pclose(pPipe);
            }
            if (bRead && std::string(line).find("window id") != std::string::npos) {
                Pump(200);
                return;
            }
            Pump(50);
        }
        FAIL() << "openbox did not start";
    }

    pid_t m_wmPid = -1;

    static void WriteWindow(int nShowCmd, const wxRect& rect) {
        WriteDword("Window", "ShowCmd", static_cast<std::uint32_t>(nShowCmd));
        WriteDword("Window", "Left", static_cast<std::uint32_t>(rect.GetLeft()));
        WriteDword("Window", "Top", static_cast<std::uint32_t>(rect.GetTop()));
        WriteDword("Window", "Right", static_cast<std::uint32_t>(rect.GetRight() + 1));
        WriteDword("Window", "Bottom", static_cast<std::uint32_t>(rect.GetBottom() + 1));
    }

    static wxRect SavedRect() {
        const int nLeft = ReadDword("Window", "Left", 0);
        const int nTop = ReadDword("Window", "Top", 0);
        return wxRect(nLeft, nTop, ReadDword("Window", "Right", 0) - nLeft,
                      ReadDword("Window", "Bottom", 0) - nTop);
    }
};

TEST_F(WindowManagerTest, MaximisedWindowReopensMaximisedWithItsRestoredSize) {
    WriteDword("Window", "Left", 120);
    WriteDword("Window", "Top", 90);
    WriteDword("Window", "Right", 720);
    WriteDword("Window", "Bottom", 540);
    OpenWindow();
    EXPECT_TRUE(PumpUntil([&] { return m_pFrame->GetSize() == wxSize(600, 450); }))
        << m_pFrame->GetSize().x << "x" << m_pFrame->GetSize().y;
    m_pFrame->Maximize(true);
    ASSERT_TRUE(PumpUntil([&] { return m_pFrame->IsMaximized(); }));
    Pump(200);
    CloseWindow();
    EXPECT_EQ(ReadDword("Window", "ShowCmd", 0), 3);
    EXPECT_EQ(ReadDword("Window", "Right", 0) - ReadDword("Window", "Left", 0), 600);
    EXPECT_EQ(ReadDword("Window", "Bottom", 0) - ReadDword("Window", "Top", 0), 450);

    OpenWindow();
    EXPECT_TRUE(PumpUntil([&] { return m_pFrame->IsMaximized(); }));
    m_pFrame->Maximize(false);
    EXPECT_TRUE(PumpUntil([&] { return m_pFrame->GetSize() == wxSize(600, 450); }))
        << m_pFrame->GetSize().x << "x" << m_pFrame->GetSize().y;
}

TEST_F(WindowManagerTest, SavedPlaceIsWhereTheWindowOpens) {
    WriteDword("Window", "Left", 300);
    WriteDword("Window", "Top", 200);
    WriteDword("Window", "Right", 1000);
    WriteDword("Window", "Bottom", 700);
    OpenWindow();
    EXPECT_TRUE(PumpUntil([&] { return m_pFrame->GetRect() == wxRect(300, 200, 700, 500); }));
    m_pFrame->Move(150, 120);
    EXPECT_TRUE(PumpUntil([&] { return m_pFrame->GetPosition() == wxPoint(150, 120); }));
    Pump(100);
    CloseWindow();
    EXPECT_EQ(ReadDword("Window", "Left", 0), 150);
    EXPECT_EQ(ReadDword("Window", "Top", 0), 120);
    EXPECT_EQ(ReadDword("Window", "Right", 0), 850);
}

TEST_F(WindowManagerTest, MinimisedWindowReopensMinimised) {
    OpenWindow();
    m_pFrame->Iconize(true);
    ASSERT_TRUE(PumpUntil([&] { return m_pFrame->IsIconized(); }));
    Pump(200);
    CloseWindow();
    EXPECT_EQ(ReadDword("Window", "ShowCmd", 0), 2);
    EXPECT_EQ(ReadDword("Window", "Right", 0) - ReadDword("Window", "Left", 0), 480);
    OpenWindow();
    EXPECT_TRUE(PumpUntil([&] { return m_pFrame->IsIconized(); }));
}

// The first show under a window manager used to make GTK lay the menu bar
// out two pixels wide; GTK says so on stderr.
TEST_F(WindowManagerTest, StartingPrintsNoToolkitComplaint) {
    char path[] = "/tmp/kesmora-stderr-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const int saved = dup(STDERR_FILENO);
    dup2(fd, STDERR_FILENO);
    OpenWindow();
    PumpUntil([&] { return otherclient::IsOnScreen(m_pFrame); });
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    close(fd);
    unlink(path);
    EXPECT_EQ(text.find("Gtk-CRITICAL"), std::string::npos) << text;
}

// Also after a maximise and restore, when the manager's frame around the
// window changed and changed back.
TEST_F(WindowManagerTest, WindowCannotBeMadeSmallerThan480By380EvenAfterAMaximise) {
    OpenWindow();
    for (const char* pszWhen : {"fresh", "after a maximise and restore"}) {
        m_pFrame->SetSize(300, 200);
        Pump(300);
        EXPECT_GE(m_pFrame->GetSize().x, 480) << pszWhen;
        EXPECT_GE(m_pFrame->GetSize().y, 380) << pszWhen;
        m_pFrame->Maximize(true);
        ASSERT_TRUE(PumpUntil([&] { return m_pFrame->IsMaximized(); }));
        Pump(200);
        m_pFrame->Maximize(false);
        ASSERT_TRUE(PumpUntil([&] { return !m_pFrame->IsMaximized(); }));
        Pump(200);
    }
}

std::string Describe(const wxRect& rect) {
    return std::to_string(rect.x) + "," + std::to_string(rect.y) + " " +
           std::to_string(rect.width) + "x" + std::to_string(rect.height);
}

// A window that opened maximised and was never restored keeps the rectangle
// it opened with; restoring it later brings that rectangle back.
TEST_F(WindowManagerTest, MaximisedStartKeepsAndRestoresTheSavedRectangle) {
    const wxRect rcSaved(100, 100, 802, 525);
    WriteWindow(3, rcSaved);
    OpenWindow();
    ASSERT_TRUE(PumpUntil([&] { return m_pFrame->IsMaximized(); }));
    CloseWindow();
    EXPECT_EQ(ReadDword("Window", "ShowCmd", 0), 3);
    EXPECT_EQ(SavedRect(), rcSaved) << Describe(SavedRect());

    OpenWindow();
    ASSERT_TRUE(PumpUntil([&] { return m_pFrame->IsMaximized(); }));
    m_pFrame->Maximize(false);
    EXPECT_TRUE(PumpUntil([&] {
        return !m_pFrame->IsMaximized() && m_pFrame->GetRect() == rcSaved;
    })) << Describe(m_pFrame->GetRect());
}

TEST_F(WindowManagerTest, MinimisedStartComesBackAtTheSavedPlace) {
    const wxRect rcSaved(200, 150, 702, 525);
    WriteWindow(2, rcSaved);
    OpenWindow();
    ASSERT_TRUE(PumpUntil([&] { return m_pFrame->IsIconized(); }));
    otherclient::Activate(m_pFrame);
    EXPECT_TRUE(PumpUntil([&] {
        return !m_pFrame->IsIconized() && m_pFrame->GetRect() == rcSaved;
    })) << Describe(m_pFrame->GetRect());
}

// A deletion's two texts while the user shrinks the window to its smallest
// through the window manager and widens it again: the panes go one above
// the other when they must, on a bar grown to two rows, and back.
TEST_F(WindowManagerTest, StatusPanesFitAfterEveryResize) {
    OpenWindow();
    wxStatusBar* pBar = m_pFrame->GetStatusBar();
    const int nRowHeight = pBar->GetSize().y;
    const wxString strLeft =
        wxString::FromUTF8("12 個のファイルを削除しました ： 20 MB ( 20,898 KB ) をクリア");
    const wxString strRight = wxString::FromUTF8("残り 3 ファイル ： 合計 10 MB ( 9,762 KB )");
    m_pView->ShowStatusPanes(strLeft, strRight);
    for (const int nWidth : {800, 480, 800, 480}) {
        otherclient::Resize(m_pFrame, nWidth, 500);
        const int nRows = nWidth == 480 ? 2 : 1;
        EXPECT_TRUE(PumpUntil([&] {
            return pBar->GetSize() == wxSize(nWidth, nRows * nRowHeight);
        })) << nWidth
            << ": " << pBar->GetSize().x << "x" << pBar->GetSize().y;
        wxRect rcLeft;
        wxRect rcRight;
        ASSERT_TRUE(pBar->GetFieldRect(0, rcLeft));
        ASSERT_TRUE(pBar->GetFieldRect(1, rcRight));
        // Whole, clear of each other and of the size grip in the corner.
        const wxSize bar = pBar->GetClientSize();
        EXPECT_LE(rcLeft.x + pBar->GetTextExtent(strLeft).x, std::min(rcLeft.GetRight(), bar.x))
            << nWidth;
        EXPECT_LE(rcRight.x + pBar->GetTextExtent(strRight).x, bar.x - nRowHeight) << nWidth;
        EXPECT_FALSE(rcLeft.Intersects(rcRight)) << nWidth;
        EXPECT_LE(rcRight.GetBottom(), bar.y) << nWidth;
    }
}

}  // namespace
