// Undo history of one text field, fed by its text events.
#include "view/EditUndo.h"

#include <wx/window.h>

#include <memory>

void CEditUndo::Attach(wxWindow* pControl, wxTextEntry* pEntry) {
    auto pUndo = std::make_shared<CEditUndo>(pControl, pEntry);
    pControl->Bind(wxEVT_TEXT, [pUndo](wxCommandEvent& event) { pUndo->OnText(event); });
    pControl->Bind(wxEVT_KEY_DOWN, [pUndo](wxKeyEvent& event) { pUndo->OnKeyDown(event); });
    pControl->Bind(wxEVT_SET_FOCUS, [pUndo](wxFocusEvent& event) {
        event.Skip();
        pUndo->Resync();
    });
}

CEditUndo::CEditUndo(wxWindow* pControl, wxTextEntry* pEntry)
    : m_pControl(pControl), m_pEntry(pEntry), m_strCurrent(pEntry->GetValue()) {}

void CEditUndo::Resync() { m_strCurrent = m_pEntry->GetValue(); }

bool CEditUndo::Undo() {
    if (m_previous.empty()) {
        return false;
    }
    m_strCurrent = m_previous.back();
    m_previous.pop_back();
    m_pEntry->ChangeValue(m_strCurrent);
    m_pEntry->SetInsertionPointEnd();
    return true;
}

void CEditUndo::OnText(wxCommandEvent& event) {
    event.Skip();
    const wxString strNew = m_pEntry->GetValue();
    if (strNew == m_strCurrent) {
        return;
    }
    if (!m_bGroupOpen) {
        if (m_previous.size() == kMaxSteps) {
            m_previous.erase(m_previous.begin());
        }
        m_previous.push_back(m_strCurrent);
        m_bGroupOpen = true;
        m_pControl->CallAfter([pSelf = shared_from_this()] { pSelf->CloseGroup(); });
    }
    m_strCurrent = strNew;
}

void CEditUndo::CloseGroup() {
    m_bGroupOpen = false;
    if (!m_previous.empty() && m_previous.back() == m_strCurrent) {
        m_previous.pop_back();
    }
}

void CEditUndo::OnKeyDown(wxKeyEvent& event) {
    const bool bCtrlZ = event.GetModifiers() == wxMOD_CONTROL &&
                        (event.GetKeyCode() == 'Z' || event.GetKeyCode() == 'z');
    const bool bAltBack = event.GetModifiers() == wxMOD_ALT && event.GetKeyCode() == WXK_BACK;
    if (bCtrlZ || bAltBack) {
        Undo();
        return;
    }
    // A key comes before the change it makes: a text the program set since
    // the last event becomes the base to go back to.
    if (m_pEntry->GetValue() != m_strCurrent) {
        Resync();
    }
    event.Skip();
}
