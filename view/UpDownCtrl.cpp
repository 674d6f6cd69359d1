// The arrow pair beside the period field: drawing, clicks with auto-repeat,
// and the arrow keys of the buddy field.
#include "view/UpDownCtrl.h"

#include <wx/dcbuffer.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 60;

bool ParseInt(const wxString& text, int* pValue) {
    long value = 0;
    wxString trimmed = text;
    trimmed.Trim(true).Trim(false);
    if (trimmed.empty() || !trimmed.ToLong(&value) || value < -2147483647L || value > 2147483647L) {
        return false;
    }
    *pValue = static_cast<int>(value);
    return true;
}

}  // namespace

CUpDownCtrl::CUpDownCtrl(wxWindow* pParent, wxWindowID id, wxTextCtrl* pBuddy)
    : wxControl(pParent, id, wxDefaultPosition, wxSize(15, 20), wxBORDER_NONE),
      m_pBuddy(pBuddy),
      m_repeat(this) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CUpDownCtrl::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CUpDownCtrl::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CUpDownCtrl::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CUpDownCtrl::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { m_repeat.Stop(); });
    Bind(wxEVT_TIMER, &CUpDownCtrl::OnRepeat, this);
    if (m_pBuddy != nullptr) {
        m_pBuddy->Bind(wxEVT_KEY_DOWN, &CUpDownCtrl::OnBuddyKey, this);
    }
}

void CUpDownCtrl::SetRange(int nLower, int nUpper) {
    m_nLower = std::min(nLower, nUpper);
    m_nUpper = std::max(nLower, nUpper);
    m_nPos = std::clamp(m_nPos, m_nLower, m_nUpper);
}

void CUpDownCtrl::SetPos(int nPos) {
    m_nPos = std::clamp(nPos, m_nLower, m_nUpper);
    if (m_pBuddy != nullptr) {
        m_pBuddy->ChangeValue(wxString::Format("%d", m_nPos));
    }
}

void CUpDownCtrl::Step(int nDelta) {
    int nCurrent = m_nPos;
    if (m_pBuddy != nullptr) {
        ParseInt(m_pBuddy->GetValue(), &nCurrent);
    }
    // A typed value outside the range steps from the nearest bound.
    nCurrent = std::clamp(nCurrent, m_nLower, m_nUpper);
    const long long next = static_cast<long long>(nCurrent) + nDelta;
    SetPos(static_cast<int>(std::clamp<long long>(next, m_nLower, m_nUpper)));
}

void CUpDownCtrl::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
    dc.Clear();
    const int half = size.y / 2;
    const wxRect upper(0, 0, size.x, half);
    const wxRect lower(0, half, size.x, size.y - half);
    const int flags = IsEnabled() ? 0 : static_cast<int>(wxCONTROL_DISABLED);
    wxRendererNative::Get().DrawPushButton(this, dc, upper, flags);
    wxRendererNative::Get().DrawPushButton(this, dc, lower, flags);

    const wxColour arrow = IsEnabled() ? wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT)
                                       : wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT);
    dc.SetPen(wxPen(arrow));
    dc.SetBrush(wxBrush(arrow));
    const int cx = size.x / 2;
    const int cyUp = upper.y + upper.height / 2;
    const int cyDown = lower.y + lower.height / 2;
    const wxPoint up[] = {{cx - 3, cyUp + 1}, {cx + 3, cyUp + 1}, {cx, cyUp - 2}};
    const wxPoint down[] = {{cx - 3, cyDown - 1}, {cx + 3, cyDown - 1}, {cx, cyDown + 2}};
    dc.DrawPolygon(3, up);
    dc.DrawPolygon(3, down);
}

void CUpDownCtrl::OnLeftDown(wxMouseEvent& event) {
    if (!IsEnabled()) {
        return;
    }
    m_nHeldDelta = event.GetY() < GetClientSize().y / 2 ? 1 : -1;
    Step(m_nHeldDelta);
    if (!HasCapture()) {
        CaptureMouse();
    }
    m_repeat.StartOnce(kFirstRepeatMs);
}

void CUpDownCtrl::OnLeftUp(wxMouseEvent&) {
    m_repeat.Stop();
    if (HasCapture()) {
        ReleaseMouse();
    }
}

void CUpDownCtrl::OnRepeat(wxTimerEvent&) {
    if (!IsEnabled() || !wxGetMouseState().LeftIsDown()) {
        return;
    }
    Step(m_nHeldDelta);
    m_repeat.StartOnce(kRepeatMs);
}

void CUpDownCtrl::OnBuddyKey(wxKeyEvent& event) {
    if (IsEnabled() && event.GetModifiers() == wxMOD_NONE) {
        if (event.GetKeyCode() == WXK_UP) {
            Step(1);
            return;
        }
        if (event.GetKeyCode() == WXK_DOWN) {
            Step(-1);
            return;
        }
    }
    event.Skip();
}
