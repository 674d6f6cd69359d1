// What the form adapts to the toolkit it runs on. The pixel layout is the
// same everywhere; on GTK the widgets are made compact, and everywhere a
// label or a list column grows where the face's glyphs need more than the
// form's pixels (the body shared by both is CompactStyle.cpp).
#pragma once

class wxBookCtrlBase;
class wxComboBox;
class wxListCtrl;
class wxString;
class wxWindow;

// Before the controls exist: the form's font and its widget style.
void ApplyCompactStyle(wxWindow* pForm);
// Once the controls are laid out: the tab strip lies below the page
// controls it frames, and neither it nor its empty pages paint over them.
void StackTabStripBelow(wxBookCtrlBase* pTab);
// The width a label, check box or radio gets where the layout gives nWidth.
int FitControlWidth(const wxWindow* pControl, int nWidth);
// The width of a combo whose items should show whole.
int FitComboWidth(const wxComboBox* pCombo, int nWidth);
// What a combo needs beside its text (its edges and its button), in the
// form's pixels: one body per toolkit.
int ComboChromeWidth(const wxComboBox* pCombo);
// The width of a list column whose widest usual text is pszSample, and
// whose header keeps its text whole beside the sort arrow.
int FitColumnWidth(const wxListCtrl* pList, int nWidth, const char* pszSample,
                   const wxString& strHeader);
// The header's sort arrow on a column, or on none (-1).
void ShowSortArrow(wxListCtrl* pList, int nColumn, bool bAscending);
// Where a report list's cell begins its text, in the coordinates of the
// list's mouse events; -1 for no such cell. One body per toolkit.
int ListTextLeft(const wxListCtrl* pList, long nRow, long nColumn);
