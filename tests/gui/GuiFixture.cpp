// Shared set-up of the GUI tests.
#include "GuiFixture.h"

#include <wx/app.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdlib>

#include "TestSettings.h"
#include "search/SettingsKeys.h"

int CDialogRecorder::Enter(wxDialog* pDialog) {
    m_titles.push_back(pDialog->GetTitle());
    if (auto* pMessage = dynamic_cast<wxMessageDialogBase*>(pDialog)) {
        m_messages.push_back(pMessage->GetMessage());
    } else {
        for (wxWindow* pChild : pDialog->GetChildren()) {
            if (auto* pText = dynamic_cast<wxStaticText*>(pChild)) {
                m_texts.push_back(pText->GetLabel());
            }
        }
    }
    return wxID_OK;
}

void GuiTest::SetUp() {
    m_pConfigHome = std::make_unique<TempTree>("kesmora-gui");
    m_configHome = m_pConfigHome->Folder();
    IsolateSettings(m_pConfigHome->Folder());
    m_pRegistry = std::make_unique<CRegistry>();
    m_pDialogs = std::make_unique<CDialogRecorder>();
}

void GuiTest::TearDown() {
    if (m_pFrame != nullptr) {
        CloseWindow();
    }
    m_pDialogs.reset();
    m_pRegistry.reset();
    DropSettings();
    m_pConfigHome.reset();
}

void GuiTest::OpenWindow() {
    m_pFrame = CreateMainWindow(m_pRegistry.get());
    m_pView = m_pFrame->GetView();
    Pump(300);
}

void GuiTest::CloseWindow() {
    m_pFrame->Close(true);
    m_pFrame = nullptr;
    m_pView = nullptr;
    Pump(50);
    wxTheApp->ProcessIdle();
}

void GuiTest::Pump(int nMilliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(nMilliseconds);
    do {
        wxTheApp->Yield(true);
        wxTheApp->ProcessIdle();
        wxMilliSleep(5);
    } while (std::chrono::steady_clock::now() < end);
}

bool GuiTest::PumpUntil(const std::function<bool()>& condition, int nTimeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        Pump(20);
    }
    return true;
}

void GuiTest::Click(int nId) {
    wxWindow* pControl = Control(nId);
    ASSERT_NE(pControl, nullptr);
    wxUIActionSimulator sim;
    const wxRect rect = pControl->GetScreenRect();
    // Left part of the control: a check box or radio reacts on its box.
    sim.MouseMove(rect.x + std::min(8, rect.width / 2), rect.y + rect.height / 2);
    Pump(30);
    sim.MouseClick();
    Pump(100);
}

void GuiTest::WriteDword(const char* pszSection, const std::string& strName,
                         std::uint32_t dwValue) {
    CRegistry registry;
    settings::PointAt(registry, pszSection);
    registry.WriteDWORD(strName, dwValue, RegRoot::CurrentUser, false);
}

void GuiTest::WriteText(const char* pszSection, const std::string& strName,
                        const std::string& strText) {
    CRegistry registry;
    settings::PointAt(registry, pszSection);
    registry.WriteString(strName, strText, RegRoot::CurrentUser, false);
}

int GuiTest::ReadDword(const char* pszSection, const std::string& strName,
                       std::uint32_t dwDefault) {
    CRegistry registry;
    settings::PointAt(registry, pszSection);
    std::uint32_t dwValue = dwDefault;
    registry.ReadDWORD(strName, &dwValue, dwDefault, RegRoot::CurrentUser);
    return static_cast<int>(static_cast<std::int32_t>(dwValue));
}

std::string GuiTest::ReadText(const char* pszSection, const std::string& strName) {
    CRegistry registry;
    settings::PointAt(registry, pszSection);
    std::string strText;
    registry.ReadString(strName, strText, "<missing>", RegRoot::CurrentUser);
    return strText;
}

std::filesystem::path GuiTest::SettingsFile() const {
    if (!SettingsAreAFile()) {
        return {};
    }
    return m_configHome / settings::kCompany / (std::string(settings::kApplication) + ".reg");
}

bool GuiTest::SettingsSaved() const {
    return SettingsAreAFile() ? std::filesystem::exists(SettingsFile()) : RegistryKeyExists();
}
