// Start-up and exit of the program.
#include "app/VCKesmoraApp.h"

#include <cstdint>

#include "app/MainFrame.h"
#include "res/UiText.h"
#include "view/UiString.h"

namespace {

// Show commands as the settings store them.
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;
constexpr int kMinimize = 6;
constexpr int kShowMinNoActive = 7;

}  // namespace

CMainFrame* CreateMainWindow(CRegistry* pRegistry) {
    pRegistry->m_strCompany = "tavoApp";
    pRegistry->m_strApplication = "VcppKesmora";
    pRegistry->m_strSection = "Window";
    std::uint32_t dwShowCmd = 5;
    pRegistry->ReadDWORD("ShowCmd", &dwShowCmd, 5, RegRoot::CurrentUser);
    const int nShowCmd = static_cast<int>(static_cast<std::int32_t>(dwShowCmd));

    auto* pFrame = new CMainFrame(pRegistry);
    pFrame->SetTitle(ui::ToWx(UiText::kWindowTitle));
    // Any other stored value (a hidden state included) shows the window
    // normally: a program must never start invisible.
    if (nShowCmd == kShowMaximized) {
        pFrame->Maximize(true);
    } else if (nShowCmd == kShowMinimized || nShowCmd == kMinimize ||
               nShowCmd == kShowMinNoActive) {
        pFrame->Iconize(true);
    }
    pFrame->Show(true);
    return pFrame;
}

bool CVCKesmoraApp::OnInit() {
    // No options of its own: wx's parser would reject the arguments a
    // desktop launcher may pass, so the command line is left alone.
    SetAppName("Kesmora");
    m_pRegistry = std::make_unique<CRegistry>();
    CreateMainWindow(m_pRegistry.get());
    return true;
}

int CVCKesmoraApp::OnExit() {
    m_pRegistry.reset();
    return wxApp::OnExit();
}
