// Placeholder until the engine lands.
#include "finder/IntermediateFileFinder.h"
CIntermediateFileFinder::CIntermediateFileFinder(CFindNotify*) {}
CIntermediateFileFinder::~CIntermediateFileFinder() = default;
bool CIntermediateFileFinder::StartFind(const std::string&, bool, int, int, int, int, bool) { return false; }
bool CIntermediateFileFinder::StopFind() { return Stop(); }
