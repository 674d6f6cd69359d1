// Toolkits whose message boxes show their icons and whose folder chooser
// is the system's own need nothing.
#include "view/DialogLook.h"

void PrepareToolkitDialogs() {}
