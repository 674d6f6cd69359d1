// What every GUI test shares: a private settings folder, the real main
// window opened and closed as the program does it, event pumping, and a
// hook that answers modal dialogs while recording what they said.
#pragma once

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/window.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "app/VCKesmoraApp.h"
#include "tavoBasis/Registry.h"
#include "tests/support/TempTree.h"
#include "view/VCKesmoraView.h"

// Records and dismisses every modal dialog (with OK).
class CDialogRecorder : public wxModalDialogHook {
public:
    CDialogRecorder() { Register(); }
    ~CDialogRecorder() override { Unregister(); }

    int Enter(wxDialog* pDialog) override;
    void Exit(wxDialog*) override {}

    std::vector<wxString> m_titles;
    std::vector<wxString> m_messages;
    std::vector<wxString> m_texts;  // every static text of non-message dialogs
};

class GuiTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the window as a program start does, and lets it settle.
    void OpenWindow();
    // Closes it as the user does (settings are saved) and lets wx delete it.
    void CloseWindow();
    // Runs the event loop for about this long.
    static void Pump(int nMilliseconds = 100);
    // Runs the event loop until the condition holds or the time is up: a
    // window manager answers when it answers, later on a loaded machine.
    static bool PumpUntil(const std::function<bool()>& condition, int nTimeoutMs = 5000);

    wxWindow* Control(int nId) const { return m_pView->FindWindow(nId); }
    // Clicks a control's centre with the simulated mouse.
    void Click(int nId);

    // Settings through a fresh store, as another process would see them.
    static void WriteDword(const char* pszSection, const std::string& strName,
                           std::uint32_t dwValue);
    static void WriteText(const char* pszSection, const std::string& strName,
                          const std::string& strText);
    static int ReadDword(const char* pszSection, const std::string& strName,
                         std::uint32_t dwDefault);
    static std::string ReadText(const char* pszSection, const std::string& strName);
    // The settings file (empty where the settings are no file), and whether
    // anything has been saved since the test began.
    std::filesystem::path SettingsFile() const;
    bool SettingsSaved() const;

    std::unique_ptr<TempTree> m_pConfigHome;
    std::filesystem::path m_configHome;
    std::unique_ptr<CRegistry> m_pRegistry;
    CMainFrame* m_pFrame = nullptr;
    CVCKesmoraView* m_pView = nullptr;
    std::unique_ptr<CDialogRecorder> m_pDialogs;
};
