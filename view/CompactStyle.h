// What the form adapts to the toolkit it runs on. The pixel layout is the
// same everywhere; on GTK the widgets are made compact, and everywhere a
// label or a list column grows where the face's glyphs need more than the
// form's pixels (the body shared by both is CompactStyle.cpp).
#pragma once

class wxBookCtrlBase;
class wxComboBox;
class wxListCtrl;
class wxWindow;

// Before the controls exist: the form's font and its widget style.
void ApplyCompactStyle(wxWindow* pForm);
// Once its pages exist: the tab strip lies below the page controls it
// frames, and its empty pages never cover them.
void StackTabStripBelow(wxBookCtrlBase* pTab);
// The width a label, check box or radio gets where the layout gives nWidth.
int FitControlWidth(const wxWindow* pControl, int nWidth);
// The width of a combo whose items should show whole.
int FitComboWidth(const wxComboBox* pCombo, int nWidth);
// The width of a list column whose widest usual text is pszSample.
int FitColumnWidth(const wxListCtrl* pList, int nWidth, const char* pszSample);
// The header's sort arrow on a column, or on none (-1).
void ShowSortArrow(wxListCtrl* pList, int nColumn, bool bAscending);
