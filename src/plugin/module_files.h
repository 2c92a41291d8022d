#pragma once
#include <string>

namespace corvex {

struct VisModule;

// fileName in the folder of the library that the module record's hDllInstance names.
std::string PathBesideModule(const VisModule& module, const char* fileName);

}  // namespace corvex
