// What the search and deletion tests share: real files in a temporary tree,
// setting the search options as a user would, pressing buttons, waiting
// for a real search to end, and answering the window's message boxes.
#pragma once

#include <wx/checkbox.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "GuiFixture.h"
#include "view/ControlIds.h"

// One message box the window asked for.
struct AskedBox {
    std::string strText;
    std::string strCaption;
    long nStyle = 0;
    std::string strStatusMeanwhile;  // left pane while the box was up
};

class SearchGuiTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        m_pTree = std::make_unique<TempTree>("kesmora-tree");
        m_tree = m_pTree->Folder();
        OpenWindow();
        m_pAnswer = std::make_unique<CBoxAnswer>(*this);
        // A plain search: every subfolder, every type, no time filter.
        Radio(ctl::kRadioAllSubFolders);
        Radio(ctl::kRadioAllFiles);
        Check(ctl::kFindSubFolder, true);
        for (int nId : kTypes) Check(nId, true);
    }

    void TearDown() override {
        GuiTest::TearDown();
        m_pAnswer.reset();
        std::error_code ec;
        for (const auto& dir : m_locked) {
            std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ec);
        }
        m_pTree.reset();
    }

    static constexpr int kTypes[] = {ctl::kBsc, ctl::kIdb, ctl::kIlk, ctl::kObj,
                                     ctl::kPch, ctl::kPdb, ctl::kRes, ctl::kSbr};

    // A file of size bytes under the tree (sparse where the file system
    // allows); mtime in seconds since 1970 when given.
    std::string MakeFile(const std::string& rel, std::uint64_t size, std::time_t mtime = 0) {
        const std::filesystem::path path = (m_tree / rel).make_preferred();
        std::filesystem::create_directories(path.parent_path());
        { std::ofstream out(path, std::ios::binary | std::ios::trunc); }
        std::error_code ec;
        std::filesystem::resize_file(path, size, ec);
        EXPECT_FALSE(ec) << path << ": " << ec.message();
        if (mtime != 0) {
            std::filesystem::last_write_time(
                path,
                std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(mtime)),
                ec);
            EXPECT_FALSE(ec) << path << ": " << ec.message();
        }
        return path.string();
    }

    void Check(int nId, bool bOn) { static_cast<wxCheckBox*>(Control(nId))->SetValue(bOn); }
    void Radio(int nId) { static_cast<wxRadioButton*>(Control(nId))->SetValue(true); }
    void SetFolder(const std::string& folder) {
        m_pView->m_comboFolder->ChangeValue(wxString::FromUTF8(folder));
    }
    void SetPeriod(const std::string& count, const std::string& unit, const std::string& fileTime) {
        Radio(ctl::kRadioPeriod);
        static_cast<wxTextCtrl*>(Control(ctl::kCount))->ChangeValue(wxString::FromUTF8(count));
        m_pView->m_comboDayMonth->ChangeValue(wxString::FromUTF8(unit));
        m_pView->m_comboFile->ChangeValue(wxString::FromUTF8(fileTime));
    }

    // The button's click as the window receives it, enabled or not.
    void Press(int nId) {
        wxWindow* pButton = Control(nId);
        wxCommandEvent event(wxEVT_BUTTON, nId);
        event.SetEventObject(pButton);
        pButton->GetEventHandler()->ProcessEvent(event);
    }

    // Runs the event loop until the search is over; false after 30 s.
    bool WaitForSearchEnd() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (m_pView->m_bSearching) {
            if (std::chrono::steady_clock::now() > end) return false;
            Pump(10);
        }
        return true;
    }

    // Searches folder (the tree by default) and waits for the summary.
    void Search(const std::string& folder = {}) {
        SetFolder(folder.empty() ? m_tree.string() : folder);
        Press(ctl::kStart);
        ASSERT_TRUE(WaitForSearchEnd()) << "the search did not end";
    }

    std::string Status(int nPane) const {
        return m_pFrame->GetStatusBar()->GetStatusText(nPane).utf8_string();
    }
    long Rows() const { return m_pView->m_list->GetItemCount(); }
    std::string Cell(long nRow, int nColumn) const {
        return m_pView->m_list->GetItemText(nRow, nColumn).utf8_string();
    }
    // The row listing path, or -1.
    long RowOf(const std::string& path) const {
        for (long n = 0; n < Rows(); ++n) {
            if (m_pView->m_rows.m_rows[static_cast<std::size_t>(n)].strPath == path) return n;
        }
        return -1;
    }
    std::vector<std::string> History() const {
        std::vector<std::string> items;
        for (unsigned i = 0; i < m_pView->m_comboFolder->GetCount(); ++i) {
            items.push_back(m_pView->m_comboFolder->GetString(i).utf8_string());
        }
        return items;
    }
    bool Enabled(int nId) const { return Control(nId)->IsEnabled(); }

    std::unique_ptr<TempTree> m_pTree;
    std::filesystem::path m_tree;
    std::vector<std::filesystem::path> m_locked;
    std::vector<AskedBox> m_boxes;
    int m_nAnswer = wxID_OK;

private:
    // Answers the window's real message boxes with m_nAnswer and notes
    // each in m_boxes; other dialogs go on to the fixture's recorder.
    class CBoxAnswer : public wxModalDialogHook {
    public:
        explicit CBoxAnswer(SearchGuiTest& test) : m_test(test) { Register(); }
        ~CBoxAnswer() override { Unregister(); }
        int Enter(wxDialog* pDialog) override {
            auto* pBox = dynamic_cast<wxMessageDialogBase*>(pDialog);
            if (pBox == nullptr) return wxID_NONE;
            m_test.m_boxes.push_back({pBox->GetMessage().utf8_string(),
                                      pBox->GetCaption().utf8_string(),
                                      pBox->GetMessageDialogStyle(), m_test.Status(0)});
            return m_test.m_nAnswer;
        }
        void Exit(wxDialog*) override {}

    private:
        SearchGuiTest& m_test;
    };
    std::unique_ptr<CBoxAnswer> m_pAnswer;
};
