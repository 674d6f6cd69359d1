// The About box: icon, program name and version, one line on what it does.
#pragma once

#include <wx/dialog.h>

class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* pParent);
};
