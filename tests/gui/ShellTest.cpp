// The window around the form: title, menu, About box, status bar layouts
// and the keys that must do nothing.
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <string>
#include <vector>

#include "GuiFixture.h"
#include "OtherClient.h"
#include "ToolkitDialog.h"
#include "res/UiText.h"
#include "view/ControlIds.h"

namespace {

class ShellTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        OpenWindow();
    }
    static wxString Utf8(std::string_view utf8) {
        return wxString::FromUTF8(utf8.data(), utf8.size());
    }
    wxStatusBar* Bar() const { return m_pFrame->GetStatusBar(); }
};

TEST_F(ShellTest, WindowCarriesTitleAndMenus) {
    EXPECT_EQ(m_pFrame->GetTitle(), Utf8(UiText::kWindowTitle));
    wxMenuBar* pBar = m_pFrame->GetMenuBar();
    ASSERT_EQ(pBar->GetMenuCount(), 2u);
    EXPECT_EQ(pBar->GetMenuLabel(0), Utf8("ﾌｧｲﾙ(&F)"));
    EXPECT_EQ(pBar->GetMenuLabel(1), Utf8("ﾍﾙﾌﾟ(&H)"));
    EXPECT_EQ(pBar->GetMenu(0)->FindItemByPosition(0)->GetItemLabel(), Utf8("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"));
    EXPECT_EQ(pBar->GetMenu(1)->FindItemByPosition(0)->GetItemLabel(), Utf8("ﾊﾞｰｼﾞｮﾝ情報(&A)..."));
    EXPECT_EQ(m_pFrame->GetMinSize(), wxSize(480, 380));
}

TEST_F(ShellTest, AboutBoxShowsTheVersion) {
    wxMenuBar* pBar = m_pFrame->GetMenuBar();
    const int nAbout = pBar->GetMenu(1)->FindItemByPosition(0)->GetId();
    wxCommandEvent event(wxEVT_MENU, nAbout);
    m_pFrame->GetEventHandler()->ProcessEvent(event);
    ASSERT_EQ(m_pDialogs->m_titles.size(), 1u);
    EXPECT_EQ(m_pDialogs->m_titles[0], Utf8("Kesmoraのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_NE(
        std::find(m_pDialogs->m_texts.begin(), m_pDialogs->m_texts.end(), "Kesmora Version " KESMORA_VERSION_TEXT),
        m_pDialogs->m_texts.end());
}

TEST_F(ShellTest, ExitItemClosesTheWindowAndSaves) {
    wxWindowID nExit = m_pFrame->GetMenuBar()->GetMenu(0)->FindItemByPosition(0)->GetId();
    wxCommandEvent event(wxEVT_MENU, nExit);
    m_pFrame->GetEventHandler()->ProcessEvent(event);
    m_pFrame = nullptr;
    Pump(100);
    EXPECT_EQ(ReadDword("Controls", "Bsc", 99), 1);
}

TEST_F(ShellTest, AWindowDestroyedByAnotherClientEndsAsACloseDoes) {
    otherclient::Destroy(m_pFrame);
    m_pFrame = nullptr;
    m_pView = nullptr;
    EXPECT_TRUE(PumpUntil([] { return wxTopLevelWindows.empty(); }));
    EXPECT_EQ(ReadDword("Controls", "Bsc", 99), 1);
}

TEST_F(ShellTest, MessageBoxesShowTheIconOfTheirKindAndJapaneseButtons) {
    m_pDialogs.reset();  // the real boxes, not the recorder's answers
    struct Case {
        long nStyle;
        std::string strIcon;
        std::vector<std::string> labels;  // sorted
    };
    const Case cases[] = {
        {wxOK | wxCANCEL | wxICON_QUESTION, "dialog-question", {"OK", "キャンセル"}},
        {wxOK | wxICON_EXCLAMATION, "dialog-warning", {"OK"}},
    };
    for (const Case& c : cases) {
        const ShownDialog shown =
            WatchNextDialog([&] { m_pView->AskUser("text", "caption", c.nStyle); });
        ASSERT_TRUE(shown.bShown);
        EXPECT_EQ(shown.strIcon, c.strIcon);
        EXPECT_TRUE(shown.bIconInTheme) << c.strIcon;
        std::vector<std::string> labels = shown.buttonLabels;
        std::sort(labels.begin(), labels.end());
        EXPECT_EQ(labels, c.labels);
    }
}

TEST_F(ShellTest, FolderChooserOpensAtAModestSize) {
    m_pDialogs.reset();
    const auto modest = [](const ShownDialog& d) { return d.nWidth <= 760 && d.nHeight <= 540; };
    const ShownDialog shown = WatchNextDialog(
        [&] {
            wxString strChosen;
            m_pView->ChooseFolder("title", m_configHome.string(), strChosen);
        },
        modest);
    ASSERT_TRUE(shown.bShown);
    EXPECT_TRUE(modest(shown)) << shown.nWidth << "x" << shown.nHeight;
}

// Texts as a search and the deletions write them, at the default size
// with the default font: each pane holds its whole text, clear of the other
// pane and of the size grip, which is as wide as the bar is high.
TEST_F(ShellTest, StatusTextsAreWholeAtTheDefaultSize) {
    const std::pair<const char*, const char*> cases[] = {
        {" 123 個のファイルが見つかりました。", "合計 25 MB ( 25,316 KB )"},
        {" 1274 個のファイルが見つかりました。", "合計 95,386 MB ( 97,675,154 KB )"},
        {"4 個のファイルを削除しました。", "2 MB ( 1,536 KB ) をクリア"},
        {"3 個のファイルを削除しました。", "残り 1 ファイル ： 合計 0 MB ( 1 KB )"},
        {"1471 個のファイルを削除しました ： 204 MB ( 208,989 KB ) をクリア",
         "残り 12 ファイル ： 合計 95,182 MB ( 97,466,165 KB )"},
        {" 5 個のファイルが見つかりました。", "合計 0 MB ( 5 KB )"},
    };
    ASSERT_EQ(m_pFrame->GetSize(), wxSize(480, 380));
    for (const auto& [pszLeft, pszRight] : cases) {
        m_pView->ShowStatusPanes(Utf8(pszLeft), Utf8(pszRight));
        Pump(50);
        wxRect rcLeft;
        wxRect rcRight;
        ASSERT_TRUE(Bar()->GetFieldRect(0, rcLeft));
        ASSERT_TRUE(Bar()->GetFieldRect(1, rcRight));
        const int nLeftEnd = rcLeft.x + Bar()->GetTextExtent(Utf8(pszLeft)).x + 4;
        const int nRightEnd = rcRight.x + Bar()->GetTextExtent(Utf8(pszRight)).x + 4;
        EXPECT_LE(nLeftEnd, std::min(rcLeft.GetRight(), Bar()->GetClientSize().x)) << pszLeft;
        EXPECT_TRUE(rcRight.y > rcLeft.GetBottom() || rcRight.x > rcLeft.GetRight()) << pszRight;
        EXPECT_LE(nRightEnd, Bar()->GetClientSize().x - Bar()->GetClientSize().y - 2) << pszRight;
        EXPECT_EQ(Bar()->GetStatusText(1), Utf8(pszRight));
    }
}

TEST_F(ShellTest, StatusBarShowsReadyAndMenuPromptsUntilTheFirstLayout) {
    EXPECT_EQ(Bar()->GetStatusText(0), Utf8("ﾚﾃﾞｨ"));
    EXPECT_EQ(m_pFrame->GetStatusBarPane(), 0);
    m_pView->ShowStatusMessage(Utf8("/srv/src/ を検索しています..."));
    EXPECT_EQ(m_pFrame->GetStatusBarPane(), -1);
    EXPECT_EQ(Bar()->GetStatusText(0), Utf8("/srv/src/ を検索しています..."));
}

TEST_F(ShellTest, TwoPaneLayoutThenOnePaneKeepsTheRightPaneOffToTheSide) {
    m_pView->ShowStatusPanes("a", "b");
    EXPECT_EQ(Bar()->GetStatusWidth(0), 350);
    EXPECT_EQ(Bar()->GetStatusWidth(1), 2000);
    EXPECT_EQ(Bar()->GetStatusStyle(0), wxSB_SUNKEN);
    m_pView->ShowStatusMessage("c");
    EXPECT_EQ(Bar()->GetStatusWidth(0), 2300);
    EXPECT_EQ(Bar()->GetStatusStyle(0), wxSB_FLAT);
    EXPECT_EQ(Bar()->GetStatusText(0), "c");
    EXPECT_EQ(Bar()->GetStatusText(1), "b");
    EXPECT_EQ(Bar()->GetStatusWidth(1), 2000);
}

TEST_F(ShellTest, DocumentKeysDoNothing) {
    m_pView->FindWindow(ctl::kComboFolder)->SetFocus();
    Pump(50);
    const wxString before = static_cast<wxComboBox*>(Control(ctl::kComboFolder))->GetValue();
    wxUIActionSimulator sim;
    for (int key : {'n', 'o', 's'}) {
        sim.Char(key, wxMOD_CONTROL);
        Pump(100);
    }
    EXPECT_TRUE(m_pDialogs->m_titles.empty());
    EXPECT_EQ(static_cast<wxComboBox*>(Control(ctl::kComboFolder))->GetValue(), before);
    EXPECT_FALSE(SettingsSaved());
    EXPECT_TRUE(m_pFrame->IsShown());
}

}  // namespace
