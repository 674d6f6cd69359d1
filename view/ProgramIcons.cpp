// The program's icon bundle, from the embedded pictures.
#include "view/ProgramIcons.h"

#include "res/KesmoraIcon.h"

wxIconBundle ProgramIcons() {
    wxIconBundle icons;
    icons.AddIcon(wxIcon(kKesmoraIcon32));
    icons.AddIcon(wxIcon(kKesmoraIcon16));
    return icons;
}
