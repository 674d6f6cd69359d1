// Toolkits whose native controls already fit the form need no extra style.
#include "view/CompactStyle.h"

void ApplyCompactStyle(wxWindow*) {}
