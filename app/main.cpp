// Entry of the program: hands over to wx with the one application object.
#include "app/KesmoraApp.h"

wxIMPLEMENT_APP(CVCKesmoraApp);
