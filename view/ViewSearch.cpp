// NOT YET WIRED: the search, deletion and folder-browse handlers of the form.
// This file is a stand-in; the search/deletion work replaces it as a whole.
// Everything it may use is on CVCKesmoraView: the exchanged members
// (UpdateData), FindComboTextIndex, AddFolderHistory, the enabling calls
// (EnableOptionControls, EnableSearchButtons, UpdateDeleteButtons,
// m_bSearching), the rows m_rows.m_rows (append with AppendRows, erase on
// deletion; then OnRowsChanged) or another source through SetRowSource,
// m_dwTotalSize, m_pFinder (created here by CreateFinder, with whatever
// sink the search reports to), and ShowStatusMessage / ShowStatusPanes.
#include "view/VCKesmoraView.h"

void CVCKesmoraView::CreateFinder() { m_pFinder = std::make_unique<CIntermediateFileFinder>(this); }

void CVCKesmoraView::OnStartSearch(wxCommandEvent&) {}

void CVCKesmoraView::OnStopSearch(wxCommandEvent&) {}

void CVCKesmoraView::OnDeleteSelected(wxCommandEvent&) {}

void CVCKesmoraView::OnDeleteAll(wxCommandEvent&) {}

void CVCKesmoraView::OnBrowse(wxCommandEvent&) {}

void CVCKesmoraView::OnFindFolder(const std::string&) {}

void CVCKesmoraView::OnFindFile(const std::string&, std::uint64_t, const std::string&,
                                const std::string&) {}

void CVCKesmoraView::OnFindEnd() {}
