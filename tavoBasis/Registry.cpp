// Placeholder until the store lands.
#include "tavoBasis/Registry.h"
int CRegistry::ReadDWORD(const std::string&, std::uint32_t* p, std::uint32_t d, RegRoot) { *p = d; return 1; }
int CRegistry::ReadString(const std::string&, std::string& t, const std::string& d, RegRoot) { t = d; return 1; }
int CRegistry::WriteDWORD(const std::string&, std::uint32_t, RegRoot, bool) { return 1; }
int CRegistry::WriteString(const std::string&, const std::string&, RegRoot, bool) { return 1; }
