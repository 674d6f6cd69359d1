// What the form view asks of the window it lives in: the two status-bar
// layouts and the placement it saves. The frame implements it, so app/
// includes view/ and never the reverse.
#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

// What is saved of the window: its restored rectangle and its show state
// (1 normal, 2 minimised, 3 maximised).
struct WindowPlacement {
    int nShowCmd = 1;
    wxRect rcNormal;
};

class CViewHost {
public:
    // One wide borderless pane.
    virtual void ShowStatusMessage(const wxString& strText) = 0;
    // A left pane and a right one, both with borders.
    virtual void ShowStatusPanes(const wxString& strLeft, const wxString& strRight) = 0;
    virtual WindowPlacement GetPlacement() const = 0;

protected:
    ~CViewHost() = default;
};
