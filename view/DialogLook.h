// What the toolkit's own dialogs need to look as the program's: one body
// per toolkit (DialogLook_gtk.cpp, DialogLook_other.cpp).
#pragma once

// Once per process, before the first dialog: message boxes show the icon
// of their kind (GTK 3 shows none by default), and the folder chooser
// opens at a size that suits a small utility instead of nearly filling
// the screen.
void PrepareToolkitDialogs();
