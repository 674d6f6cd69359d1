// The application object and the start-up that opens the main window.
#pragma once

#include <wx/app.h>

#include <memory>

#include "tavoBasis/Registry.h"

class CMainFrame;

// Opens the main window as a start of the program does: saved show state,
// saved rectangle, the form with every saved value, the title; then shows it.
CMainFrame* CreateMainWindow(CRegistry* pRegistry);

class CVCKesmoraApp : public wxApp {
public:
    bool OnInit() override;
    int OnExit() override;

    std::unique_ptr<CRegistry> m_pRegistry;
};
