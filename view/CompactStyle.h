// Makes the form's toolkit widgets as compact as the form's 20-pixel rows.
#pragma once

class wxWindow;

// Call before the form's controls are made.
void ApplyCompactStyle(wxWindow* pForm);
