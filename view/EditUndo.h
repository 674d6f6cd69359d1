// Undo for the form's text fields: GTK 3's entries have none, and a user
// who pastes a wrong path expects Ctrl+Z (or Alt+Backspace) to take it back.
#pragma once

#include <wx/event.h>
#include <wx/textentry.h>

#include <memory>
#include <vector>

class CEditUndo : public std::enable_shared_from_this<CEditUndo> {
public:
    // Attaches a history to a text field or combo box; the control's own
    // event bindings keep it alive as long as the control.
    static void Attach(wxWindow* pControl, wxTextEntry* pEntry);

    CEditUndo(wxWindow* pControl, wxTextEntry* pEntry);

    // Restores the text before the last change; false when there is none.
    bool Undo();
    void OnText(wxCommandEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    // Takes a text set by the program (no text event) as the new base.
    void Resync();

private:
    static constexpr std::size_t kMaxSteps = 100;

    void CloseGroup();

    wxWindow* m_pControl;
    wxTextEntry* m_pEntry;
    // The changes of one user action (a paste over a selection is a delete
    // and an insert) are undone together.
    bool m_bGroupOpen = false;
    wxString m_strCurrent;
    std::vector<wxString> m_previous;
};
