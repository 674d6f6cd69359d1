// Entry of the program: hands over to wx with the one application object.
#include "app/VCKesmoraApp.h"

wxIMPLEMENT_APP(CVCKesmoraApp);
