// What the toolkit's own dialogs need to look as the program's: one body
// per toolkit (DialogLook_gtk.cpp, DialogLook_msw.cpp).
#pragma once

class wxDirDialog;
class wxMessageDialog;

// Once per process, before the first window: the toolkit's own texts (the
// progress dialog's "Elapsed time:", its Cancel, stock button labels) come
// from its Japanese catalogue whatever the system's language. Debian's
// wx3.2-i18n installs it; the Windows program carries it inside.
void UseToolkitCatalogue();
// Once per process, before the first dialog: message boxes show the icon
// of their kind (GTK 3 shows none by default), and the folder chooser
// opens at a size that suits a small utility instead of nearly filling
// the screen.
void PrepareToolkitDialogs();
// Shows the box modally and returns its wxID_ answer, with the icon of its
// kind on every toolkit (wxMSW's task dialog has no question icon).
int ShowMessageBox(wxMessageDialog& box);
// Shows the folder chooser modally, with its message where the user reads
// it, and returns its wxID_ answer; GetPath() then gives the folder chosen.
int ShowFolderChooser(wxDirDialog& dialog);
