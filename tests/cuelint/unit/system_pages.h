// What the system's converter lacks where the tests run. Wine (8.0) has no GB18030 page
// (54936); Windows and iconv have one, so a missing one fails there.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

#include "convert.h"

namespace cuelint_test {

inline bool gb18030_missing_under_wine() {
#ifdef _WIN32
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") && !cuelint::Converter::open("GB18030");
#else
  return false;
#endif
}

}  // namespace cuelint_test
