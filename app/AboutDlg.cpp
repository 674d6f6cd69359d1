// The About box's controls and layout.
#include "app/AboutDlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "res/KesmoraIcon.h"
#include "res/UiText.h"
#include "view/ProgramIcons.h"
#include "view/UiString.h"

CAboutDlg::CAboutDlg(wxWindow* pParent)
    : wxDialog(pParent, wxID_ANY, ui::ToWx(UiText::kAboutCaption)) {
    SetIcons(ProgramIcons());
    auto* pIcon = new wxStaticBitmap(this, wxID_ANY, wxBitmap(kKesmoraIcon32));
    auto* pVersion = new wxStaticText(this, wxID_ANY, ui::ToWx(UiText::kAboutVersion),
                                      wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE);
    auto* pSecond = new wxStaticText(this, wxID_ANY, ui::ToWx(UiText::kAboutSecondLine));
    auto* pOk = new wxButton(this, wxID_OK, ui::ToWx(UiText::kAboutOk));
    pOk->SetDefault();

    auto* pTexts = new wxBoxSizer(wxVERTICAL);
    pTexts->Add(pVersion, 0, wxBOTTOM, 6);
    pTexts->Add(pSecond);
    auto* pRow = new wxBoxSizer(wxHORIZONTAL);
    pRow->Add(pIcon, 0, wxALL, 12);
    pRow->Add(pTexts, 1, wxTOP | wxBOTTOM | wxALIGN_CENTER_VERTICAL, 12);
    pRow->Add(pOk, 0, wxALL, 12);
    SetSizerAndFit(pRow);
    SetEscapeId(wxID_OK);
    CentreOnParent();
}
