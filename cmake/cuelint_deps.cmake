# The libraries cuelint is built with, all from Debian's archive: CLI11 and nlohmann-json
# (headers) and utf8proc. Sets CUELINT_MISSING to the list of what was not found, each
# named with the Debian package that brings it.
set(CUELINT_MISSING "")
find_package(CLI11 CONFIG QUIET)
if(NOT CLI11_FOUND)
  list(APPEND CUELINT_MISSING "CLI11 (libcli11-dev)")
endif()
find_package(nlohmann_json CONFIG QUIET)
if(NOT nlohmann_json_FOUND)
  list(APPEND CUELINT_MISSING "nlohmann-json (nlohmann-json3-dev)")
endif()
find_path(CUELINT_UTF8PROC_INCLUDE_DIR utf8proc.h)
find_library(CUELINT_UTF8PROC_LIBRARY utf8proc)
if(NOT CUELINT_UTF8PROC_INCLUDE_DIR OR NOT CUELINT_UTF8PROC_LIBRARY)
  list(APPEND CUELINT_MISSING "utf8proc (libutf8proc-dev)")
endif()
