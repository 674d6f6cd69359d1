// The Windows window under the X server's own mouse, as a user's hand
// moves it: xdotool clicks on the display Wine draws on, and each page's
// controls must answer. (On GTK the simulated input of the other tests
// already is the X server's.)
#include <wx/checkbox.h>
#include <wx/notebook.h>
#include <wx/radiobut.h>

#include <string>

#include "GuiFixture.h"
#include "XServer_win32.h"
#include "view/ControlIds.h"

namespace {

class XMouseTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        OpenWindow();
    }

    static void XClick(const wxPoint& at) {
        StartOnXServer("/usr/bin/xdotool mousemove " + std::to_string(at.x) + " " +
                       std::to_string(at.y) + " click 1");
    }

    bool Value(int nId) const {
        if (auto* pCheck = dynamic_cast<wxCheckBox*>(Control(nId))) return pCheck->GetValue();
        return static_cast<wxRadioButton*>(Control(nId))->GetValue();
    }
};

TEST_F(XMouseTest, AClickOnEachPageChangesTheControlUnderIt) {
    const struct {
        int nPage;
        int nId;
    } cases[] = {
        {0, ctl::kRadioDebug},
        {0, ctl::kFindSubFolder},
        {1, ctl::kPdb},
        {1, ctl::kTlog},
        {2, ctl::kRadioPeriod},
        {3, ctl::kConfirmRemove},
        {3, ctl::kRadioProjectView},
    };
    for (const auto& c : cases) {
        static_cast<wxNotebook*>(Control(ctl::kTab))->SetSelection(static_cast<size_t>(c.nPage));
        Pump(100);
        const bool bBefore = Value(c.nId);
        // On the box, left of the label: a radio only turns on.
        const wxRect rect = Control(c.nId)->GetScreenRect();
        XClick(wxPoint(rect.x + 6, rect.y + rect.height / 2));
        EXPECT_TRUE(PumpUntil([&] { return Value(c.nId) != bBefore; })) << "control " << c.nId;
    }
    // The enabling rules follow the mouse as they follow the keyboard.
    EXPECT_FALSE(Control(ctl::kRadioDebug)->IsEnabled());
    EXPECT_TRUE(Control(ctl::kCount)->IsEnabled());
}

}  // namespace
