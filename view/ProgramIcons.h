// The program's own icon, for the main window and every dialog it opens.
#pragma once

#include <wx/iconbndl.h>

// The icon at 32 and 16 pixels.
wxIconBundle ProgramIcons();
