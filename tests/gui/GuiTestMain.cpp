// Entry of the GUI tests: answers --gtest_list_tests without a display and
// starts wx only when tests are really run.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/apptrait.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include <cstdio>
#include <memory>

#include "view/DialogLook.h"

#if !defined(_WIN32)
#include "tests/support/TempTrash.h"
#endif

namespace {

// The toolkit speaks the program's language in the tests too.
class CTestApp : public wxApp {
public:
    bool OnInit() override {
        UseToolkitCatalogue();
        return true;
    }
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(CTestApp);

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
#if !defined(_WIN32)
    // GTK asks GLib for the user's folders while it starts: the tests' own
    // trash must be in place before that.
    TempTrash::Get();
#endif
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start wx: is there an X display?\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    int rc = 0;
    {
        // The tests pump events themselves; wxMSW dispatches messages (its
        // timers among them) only through an active loop.
        const std::unique_ptr<wxEventLoopBase> pLoop(wxTheApp->GetTraits()->CreateEventLoop());
        wxEventLoopActivator activate(pLoop.get());
        rc = RUN_ALL_TESTS();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return rc;
}
