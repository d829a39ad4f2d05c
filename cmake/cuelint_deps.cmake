# The libraries cuelint is built with, all from Debian's archive: CLI11 and nlohmann-json
# (headers) and utf8proc. Sets CUELINT_MISSING to the list of what was not found, each
# named with the Debian package that brings it.
#
# A cross build takes the two header libraries from the build machine, each through a
# folder of its own (never /usr/include whole, whose other headers are the build machine's),
# and builds utf8proc for the target from Debian's source package, unpacked at
# CUECHECK_UTF8PROC_SOURCE ("apt-get source utf8proc").
set(CUELINT_MISSING "")
set(CUECHECK_UTF8PROC_SOURCE "" CACHE PATH "utf8proc's sources, built for the target (cross builds)")

if(CMAKE_CROSSCOMPILING)
  set(host_headers ${PROJECT_BINARY_DIR}/host-headers)
  foreach(lib CLI11 nlohmann_json)
    if(lib STREQUAL "CLI11")
      set(dir CLI)
      set(header CLI/CLI.hpp)
      set(package libcli11-dev)
    else()
      set(dir nlohmann)
      set(header nlohmann/json.hpp)
      set(package nlohmann-json3-dev)
    endif()
    if(NOT EXISTS /usr/include/${header})
      list(APPEND CUELINT_MISSING "${lib} (${package})")
      continue()
    endif()
    file(MAKE_DIRECTORY ${host_headers}/${lib})
    file(CREATE_LINK /usr/include/${dir} ${host_headers}/${lib}/${dir} SYMBOLIC)
    add_library(cuelint_${lib} INTERFACE)
    target_include_directories(cuelint_${lib} SYSTEM INTERFACE ${host_headers}/${lib})
    add_library(${lib}::${lib} ALIAS cuelint_${lib})
  endforeach()
  if(EXISTS ${CUECHECK_UTF8PROC_SOURCE}/utf8proc.h)
    enable_language(C)
    set(UTF8PROC_INSTALL OFF CACHE BOOL "" FORCE)
    add_subdirectory(${CUECHECK_UTF8PROC_SOURCE} ${PROJECT_BINARY_DIR}/utf8proc EXCLUDE_FROM_ALL)
    target_compile_options(utf8proc PRIVATE -w)  # not ours to warn about
    set(CUELINT_UTF8PROC_INCLUDE_DIR ${CUECHECK_UTF8PROC_SOURCE})
    set(CUELINT_UTF8PROC_LIBRARY utf8proc)
  else()
    list(APPEND CUELINT_MISSING
         "utf8proc (apt-get source utf8proc, then -DCUECHECK_UTF8PROC_SOURCE=its folder)")
  endif()
  return()
endif()

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
