// The persisted values: first run, a prepared store shown and saved back,
// the folder history's limit, hand-edited and damaged settings.
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <fstream>

#include "GuiFixture.h"
#include "res/UiText.h"
#include "view/ControlIds.h"
#include "walk/FileUtil.h"

namespace {

class SettingsTest : public GuiTest {
protected:
    bool Checked(int nId) const { return static_cast<wxCheckBox*>(Control(nId))->GetValue(); }
    bool RadioOn(int nId) const { return static_cast<wxRadioButton*>(Control(nId))->GetValue(); }
    wxComboBox* Combo(int nId) const { return static_cast<wxComboBox*>(Control(nId)); }
    wxString CountText() const {
        return static_cast<wxTextCtrl*>(Control(ctl::kCount))->GetValue();
    }
    static wxString Utf8(std::string_view utf8) {
        return wxString::FromUTF8(utf8.data(), utf8.size());
    }
};

constexpr int kTypeChecks[] = {ctl::kBsc, ctl::kIdb, ctl::kIlk, ctl::kObj,
                               ctl::kPch, ctl::kPdb, ctl::kRes, ctl::kSbr};

TEST_F(SettingsTest, FirstRunShowsTheDefaultsWithTheHomeFolder) {
    ASSERT_FALSE(SettingsSaved());
    OpenWindow();
    for (int nId : kTypeChecks) {
        EXPECT_TRUE(Checked(nId)) << "control " << nId;
    }
    EXPECT_TRUE(Checked(ctl::kFindSubFolder));
    EXPECT_TRUE(RadioOn(ctl::kRadioDebugRelease));
    EXPECT_TRUE(RadioOn(ctl::kRadioAllFiles));
    EXPECT_EQ(CountText(), "1");
    EXPECT_EQ(Combo(ctl::kComboDayMonth)->GetValue(), Utf8(UiText::kDayMonthItems[0]));
    EXPECT_EQ(Combo(ctl::kComboFile)->GetValue(), Utf8(UiText::kFileTimeItems[0]));
    EXPECT_TRUE(Checked(ctl::kConfirmRemove));
    EXPECT_EQ(Combo(ctl::kComboFolder)->GetValue(), wxString::FromUTF8(DefaultFolder()));
    EXPECT_EQ(Combo(ctl::kComboFolder)->GetCount(), 0u);
    EXPECT_EQ(m_pView->m_list->GetColumnWidth(0), 360);
    EXPECT_EQ(m_pFrame->GetSize(), wxSize(480, 380));
}

TEST_F(SettingsTest, FirstRunWritesEverySectionAtClose) {
    OpenWindow();
    CloseWindow();
    ASSERT_TRUE(SettingsSaved());
    EXPECT_EQ(ReadDword("Window", "ShowCmd", 99), 1);
    EXPECT_EQ(ReadDword("Window", "Right", 0) - ReadDword("Window", "Left", 0), 480);
    EXPECT_EQ(ReadDword("Window", "Bottom", 0) - ReadDword("Window", "Top", 0), 380);
    EXPECT_EQ(ReadDword("History", "Count", 99), 0);
    EXPECT_EQ(ReadText("History", "History0"), "<missing>");
    EXPECT_EQ(ReadDword("Controls", "ColumnWidth", 0), 360);
    EXPECT_EQ(ReadDword("Controls", "FindSubFolder", 99), 1);
    EXPECT_EQ(ReadDword("Controls", "RadioFolder", 99), 1);
    for (const char* pszName : {"Bsc", "Idb", "Ilk", "Obj", "Pch", "Pdb", "Res", "Sbr"}) {
        EXPECT_EQ(ReadDword("Controls", pszName, 99), 1) << pszName;
    }
    EXPECT_EQ(ReadDword("Controls", "RadioTime", 99), 0);
    EXPECT_EQ(ReadDword("Controls", "Count", 99), 1);
    EXPECT_EQ(ReadDword("Controls", "ComboDayMonth", 99), 0);
    EXPECT_EQ(ReadDword("Controls", "ComboFile", 99), 0);
    EXPECT_EQ(ReadDword("Controls", "ConfirmRemove", 99), 1);
}

TEST_F(SettingsTest, PreparedValuesAreShownChangedAndSavedBack) {
    WriteDword("Window", "Left", 300);
    WriteDword("Window", "Top", 200);
    WriteDword("Window", "Right", 1000);
    WriteDword("Window", "Bottom", 700);
    WriteDword("History", "Count", 2);
    WriteText("History", "History0", "/srv/first");
    WriteText("History", "History1", "/srv/ゲーム/second");
    WriteDword("Controls", "ColumnWidth", 250);
    WriteDword("Controls", "ProjectColumnWidth", 150);
    WriteDword("Controls", "FindSubFolder", 0);
    WriteDword("Controls", "RadioFolder", 3);
    WriteDword("Controls", "Pdb", 0);
    WriteDword("Controls", "RadioTime", 1);
    WriteDword("Controls", "Count", 30);
    WriteDword("Controls", "ComboDayMonth", 3);
    WriteDword("Controls", "ComboFile", 1);
    WriteDword("Controls", "ConfirmRemove", 0);

    OpenWindow();
    EXPECT_EQ(m_pFrame->GetSize(), wxSize(700, 500));
    EXPECT_EQ(m_pView->m_list->GetColumnWidth(0), 250);
    EXPECT_EQ(m_pView->m_groupList->GetColumnWidth(1), 150);
    ASSERT_EQ(Combo(ctl::kComboFolder)->GetCount(), 2u);
    EXPECT_EQ(Combo(ctl::kComboFolder)->GetString(1), Utf8("/srv/ゲーム/second"));
    EXPECT_EQ(Combo(ctl::kComboFolder)->GetValue(), "/srv/first");
    EXPECT_FALSE(Checked(ctl::kFindSubFolder));
    EXPECT_TRUE(RadioOn(ctl::kRadioRelease));
    EXPECT_FALSE(Control(ctl::kRadioRelease)->IsEnabled());
    EXPECT_FALSE(Checked(ctl::kPdb));
    EXPECT_TRUE(Checked(ctl::kObj));
    EXPECT_TRUE(RadioOn(ctl::kRadioPeriod));
    EXPECT_TRUE(Control(ctl::kCount)->IsEnabled());
    EXPECT_EQ(CountText(), "30");
    EXPECT_EQ(m_pView->m_spinCount->GetPos(), 30);
    EXPECT_EQ(Combo(ctl::kComboDayMonth)->GetValue(), Utf8("日間に"));
    EXPECT_EQ(Combo(ctl::kComboFile)->GetValue(), Utf8("作成したファイル"));
    EXPECT_FALSE(Checked(ctl::kConfirmRemove));

    // The user changes a few things, then closes.
    static_cast<wxCheckBox*>(Control(ctl::kPdb))->SetValue(true);
    static_cast<wxCheckBox*>(Control(ctl::kSbr))->SetValue(false);
    static_cast<wxRadioButton*>(Control(ctl::kRadioDebug))->SetValue(true);
    static_cast<wxTextCtrl*>(Control(ctl::kCount))->ChangeValue("45");
    Combo(ctl::kComboDayMonth)->SetValue(Utf8("ヶ月間に"));
    Combo(ctl::kComboFile)->SetValue(Utf8("更新があったファイル"));
    m_pView->m_list->SetColumnWidth(0, 280);
    m_pView->m_groupList->SetColumnWidth(1, 170);
    m_pView->AddFolderHistory("/srv/third");
    m_pFrame->SetSize(320, 210, 640, 420);
    Pump(200);
    CloseWindow();

    EXPECT_EQ(ReadDword("Window", "Left", 0), 320);
    EXPECT_EQ(ReadDword("Window", "Top", 0), 210);
    EXPECT_EQ(ReadDword("Window", "Right", 0), 960);
    EXPECT_EQ(ReadDword("Window", "Bottom", 0), 630);
    EXPECT_EQ(ReadDword("History", "Count", 0), 3);
    EXPECT_EQ(ReadText("History", "History0"), "/srv/third");
    EXPECT_EQ(ReadText("History", "History2"), "/srv/ゲーム/second");
    EXPECT_EQ(ReadDword("Controls", "ColumnWidth", 0), 280);
    EXPECT_EQ(ReadDword("Controls", "ProjectColumnWidth", 0), 170);
    EXPECT_EQ(ReadDword("Controls", "FindSubFolder", 99), 0);
    EXPECT_EQ(ReadDword("Controls", "RadioFolder", 99), 2);
    EXPECT_EQ(ReadDword("Controls", "Pdb", 99), 1);
    EXPECT_EQ(ReadDword("Controls", "Sbr", 99), 0);
    EXPECT_EQ(ReadDword("Controls", "RadioTime", 99), 1);
    EXPECT_EQ(ReadDword("Controls", "Count", 99), 45);
    EXPECT_EQ(ReadDword("Controls", "ComboDayMonth", 99), 1);
    EXPECT_EQ(ReadDword("Controls", "ComboFile", 99), 0);
    EXPECT_EQ(ReadDword("Controls", "ConfirmRemove", 99), 0);
}

TEST_F(SettingsTest, TwentyFiveSearchedFoldersAreSavedAsTheTwentyMostRecent) {
    WriteDword("History", "Count", 21);
    WriteText("History", "History20", "/left/over");
    OpenWindow();
    while (Combo(ctl::kComboFolder)->GetCount() > 0) {
        Combo(ctl::kComboFolder)->Delete(0);
    }
    for (int i = 1; i <= 25; ++i) {
        m_pView->AddFolderHistory(wxString::Format("/work/project%02d", i));
    }
    EXPECT_EQ(Combo(ctl::kComboFolder)->GetCount(), 25u);
    CloseWindow();
    EXPECT_EQ(ReadDword("History", "Count", 0), 20);
    EXPECT_EQ(ReadText("History", "History0"), "/work/project25");
    EXPECT_EQ(ReadText("History", "History19"), "/work/project06");
    EXPECT_EQ(ReadText("History", "History20"), "/left/over");

    OpenWindow();
    EXPECT_EQ(Combo(ctl::kComboFolder)->GetCount(), 20u);
    EXPECT_EQ(Combo(ctl::kComboFolder)->GetValue(), "/work/project25");
}

// The load rules are the loader's (SavedSettingsTest); here only that what it
// gives reaches the controls, and a corrected value is what is saved back.
TEST_F(SettingsTest, HandEditedValuesReachTheControlsAsTheLoaderGivesThem) {
    WriteDword("History", "Count", 0x7fffffff);
    WriteText("History", "History0", "/a");
    WriteText("History", "History1", "");
    WriteText("History", "History2", "/c");
    WriteDword("Controls", "RadioFolder", 7);
    WriteDword("Controls", "Count", 100);
    WriteDword("Controls", "ComboDayMonth", static_cast<std::uint32_t>(-1));
    WriteDword("Controls", "ComboFile", 7);
    WriteDword("Controls", "Ipdb", 1);
    WriteDword("Controls", "UseTrash", 1);
    OpenWindow();
    ASSERT_EQ(Combo(ctl::kComboFolder)->GetCount(), 2u);
    EXPECT_EQ(Combo(ctl::kComboFolder)->GetString(1), "/c");
    EXPECT_EQ(Combo(ctl::kComboFolder)->GetValue(), "/a");
    EXPECT_TRUE(RadioOn(ctl::kRadioDebugRelease));
    EXPECT_EQ(CountText(), "1");
    EXPECT_EQ(Combo(ctl::kComboDayMonth)->GetValue(), Utf8("ヶ月以前に"));
    EXPECT_EQ(Combo(ctl::kComboFile)->GetValue(), "");
    EXPECT_TRUE(Checked(ctl::kIpdb));
    EXPECT_TRUE(Checked(ctl::kUseTrash));
    // The lists keep their own order, whatever the locale would sort.
    ASSERT_EQ(Combo(ctl::kComboDayMonth)->GetCount(), 4u);
    for (unsigned i = 0; i < 4; ++i) {
        EXPECT_EQ(Combo(ctl::kComboDayMonth)->GetString(i), Utf8(UiText::kDayMonthItems[i]));
    }
    EXPECT_EQ(Combo(ctl::kComboFile)->GetString(0), Utf8("更新があったファイル"));
    CloseWindow();
    EXPECT_EQ(ReadDword("Controls", "RadioFolder", 99), 1);
    EXPECT_EQ(ReadDword("Controls", "Count", 99), 1);
}

TEST_F(SettingsTest, TypedUnitThatIsNotInTheListIsSavedAsPositionZero) {
    WriteDword("Controls", "ComboDayMonth", 2);
    OpenWindow();
    Combo(ctl::kComboDayMonth)->SetValue(Utf8("週間に"));
    EXPECT_EQ(m_pView->FindComboTextIndex(0), 0);
    Combo(ctl::kComboFile)->SetValue(Utf8("作成したファイル"));
    EXPECT_EQ(m_pView->FindComboTextIndex(1), 1);
    EXPECT_EQ(m_pView->FindComboTextIndex(2), 0);
    CloseWindow();
    EXPECT_EQ(ReadDword("Controls", "ComboDayMonth", 99), 0);
    EXPECT_EQ(ReadDword("Controls", "ComboFile", 99), 1);
}

TEST_F(SettingsTest, ClosingWithAnInvalidPeriodSavesItAndKeepsTheLastBsc) {
    OpenWindow();
    static_cast<wxCheckBox*>(Control(ctl::kBsc))->SetValue(false);
    static_cast<wxTextCtrl*>(Control(ctl::kCount))->ChangeValue("0");
    CloseWindow();
    EXPECT_EQ(m_pDialogs->m_messages.size(), 1u);
    EXPECT_EQ(ReadDword("Controls", "Count", 99), 0);
    EXPECT_EQ(ReadDword("Controls", "Bsc", 99), 1);
    OpenWindow();
    EXPECT_EQ(CountText(), "1");
}

TEST_F(SettingsTest, DamagedSettingsFileStillStartsWithTheDefaults) {
    if (SettingsFile().empty()) {
        GTEST_SKIP() << "the settings are the registry here, not a file that can be damaged";
    }
    std::filesystem::create_directories(SettingsFile().parent_path());
    {
        std::ofstream out(SettingsFile(), std::ios::binary);
        out << "\x01\x02garbage [Software\\tavoApp\n\"Count\"=dword:zz\n\xff\xfe";
    }
    OpenWindow();
    EXPECT_TRUE(Checked(ctl::kBsc));
    EXPECT_TRUE(RadioOn(ctl::kRadioDebugRelease));
    EXPECT_EQ(CountText(), "1");
    EXPECT_EQ(Combo(ctl::kComboFolder)->GetValue(), wxString::FromUTF8(DefaultFolder()));
    static_cast<wxCheckBox*>(Control(ctl::kBsc))->SetValue(false);
    CloseWindow();
    EXPECT_EQ(ReadDword("Controls", "Bsc", 99), 0);
}

TEST_F(SettingsTest, RectangleWithANegativeWidthStillOpensAUsableWindow) {
    WriteDword("Window", "Left", 400);
    WriteDword("Window", "Right", 100);
    WriteDword("Window", "Bottom", 0);
    OpenWindow();
    EXPECT_TRUE(m_pFrame->IsShown());
    EXPECT_GE(m_pFrame->GetSize().x, 480);
    EXPECT_GE(m_pFrame->GetSize().y, 380);
}

TEST_F(SettingsTest, WindowValuesOffEveryScreenOpenItAtTheDefaultPlace) {
    // A text where a number belongs reads as the text's bytes, far off screen.
    WriteText("Window", "Left", "abc");
    OpenWindow();
    EXPECT_EQ(m_pFrame->GetRect(), wxRect(100, 100, 480, 380));
    CloseWindow();
    EXPECT_EQ(ReadDword("Window", "Left", 0), 100);

    WriteDword("Window", "Left", static_cast<std::uint32_t>(-1000));
    WriteDword("Window", "Right", static_cast<std::uint32_t>(-256));
    OpenWindow();
    EXPECT_EQ(m_pFrame->GetRect(), wxRect(100, 100, 744, 380));
}

TEST_F(SettingsTest, StoredHiddenStateStillShowsTheWindow) {
    WriteDword("Window", "ShowCmd", 0);
    OpenWindow();
    EXPECT_TRUE(m_pFrame->IsShown());
    EXPECT_FALSE(m_pFrame->IsIconized());
}

}  // namespace
