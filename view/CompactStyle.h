// Makes the form's toolkit widgets as compact as the form's 20-pixel rows.
#pragma once

class wxWindow;

void ApplyCompactStyle(wxWindow* pForm);

// Drops a combo's list down as a scrolling list rather than a menu. GTK
// builds a menu item per row as rows come in, so a menu costs time in the
// square of the rows; a history of thousands of folders must load at once.
void UseListPopup(wxWindow* pCombo);
