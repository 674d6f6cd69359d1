// A narrow up/down arrow pair that steps an integer in a buddy text field;
// GTK's own spin button is a wide "- +" pair that does not fit the form.
#pragma once

#include <wx/control.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

class CUpDownCtrl : public wxControl {
public:
    CUpDownCtrl(wxWindow* pParent, wxWindowID id, wxTextCtrl* pBuddy);

    void SetRange(int nLower, int nUpper);
    // Sets the position (clamped to the range) and writes it into the buddy.
    void SetPos(int nPos);
    int GetPos() const { return m_nPos; }
    // One step up (+1) or down (-1), starting from the buddy's number when it
    // holds one, so a typed value is stepped rather than overwritten.
    void Step(int nDelta);

    bool AcceptsFocus() const override { return false; }

protected:
    wxSize DoGetBestSize() const override { return wxSize(15, 20); }

private:
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnRepeat(wxTimerEvent& event);
    void OnBuddyKey(wxKeyEvent& event);

    wxTextCtrl* m_pBuddy;
    wxTimer m_repeat;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
    int m_nHeldDelta = 0;
};
