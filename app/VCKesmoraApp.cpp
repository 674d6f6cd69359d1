// Start-up and exit of the program.
#include "app/VCKesmoraApp.h"

#include "app/MainFrame.h"
#include "res/UiText.h"
#include "search/SettingsKeys.h"
#include "view/DialogLook.h"
#include "view/UiString.h"
#include "walk/DirReader.h"

namespace {

// Show commands as the settings store them.
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;
constexpr int kMinimize = 6;
constexpr int kShowMinNoActive = 7;

}  // namespace

CMainFrame* CreateMainWindow(CRegistry* pRegistry) {
    // Every start-up value from one reading of the store.
    const CRegistryBatch batch(*pRegistry);
    settings::PointAt(*pRegistry, settings::kWindow);
    const int nShowCmd = settings::ReadInt(*pRegistry, settings::kShowCmd, 5);

    auto* pFrame = new CMainFrame(pRegistry);
    pFrame->SetTitle(ui::ToWx(UiText::kWindowTitle));
    // Any other stored value (a hidden state included) shows the window
    // normally: a program must never start invisible.
    CMainFrame::StartState state = CMainFrame::StartState::Normal;
    if (nShowCmd == kShowMaximized) {
        state = CMainFrame::StartState::Maximized;
    } else if (nShowCmd == kShowMinimized || nShowCmd == kMinimize ||
               nShowCmd == kShowMinNoActive) {
        state = CMainFrame::StartState::Minimized;
    }
    pFrame->ShowAtStart(state);
    return pFrame;
}

bool CVCKesmoraApp::OnInit() {
    // No options of its own: wx's parser would reject the arguments a
    // desktop launcher may pass, so the command line is left alone.
    SetAppName("Kesmora");
    UseToolkitCatalogue();
    RaiseDescriptorLimit();
    m_pRegistry = std::make_unique<CRegistry>();
    CreateMainWindow(m_pRegistry.get());
    return true;
}

int CVCKesmoraApp::OnExit() {
    m_pRegistry.reset();
    return wxApp::OnExit();
}
