# uchardet for a cross build: its library's sources from Debian's source package, compiled
# here into one static library (its own CMake would also build its tool, its tests and a
# shared library, none of which the target needs). Included by cuelint_deps.cmake with
# CUECHECK_UCHARDET_SOURCE set; sets CUELINT_UCHARDET_INCLUDE_DIR and _LIBRARY as the
# build machine's library does.
set(uchardet_src ${CUECHECK_UCHARDET_SOURCE}/src)
file(GLOB uchardet_sources ${uchardet_src}/*.cpp ${uchardet_src}/LangModels/*.cpp)
add_library(cuelint_uchardet STATIC EXCLUDE_FROM_ALL ${uchardet_sources})
target_include_directories(cuelint_uchardet PRIVATE ${uchardet_src})
target_compile_definitions(cuelint_uchardet PRIVATE BUILDING_UCHARDET)
target_compile_options(cuelint_uchardet PRIVATE -w)  # not ours to warn about
# Its confidences are floating point: on 32-bit x86 it wants SSE2 arithmetic (as its own
# build sets it), not the x87's wider one, so that it names what it names on x86-64.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
  target_compile_options(cuelint_uchardet PRIVATE -msse2 -mfpmath=sse)
endif()
# Included as <uchardet/uchardet.h>: a folder holding that header alone.
set(uchardet_headers ${PROJECT_BINARY_DIR}/uchardet-include)
file(MAKE_DIRECTORY ${uchardet_headers}/uchardet)
configure_file(${uchardet_src}/uchardet.h ${uchardet_headers}/uchardet/uchardet.h COPYONLY)
set(CUELINT_UCHARDET_INCLUDE_DIR ${uchardet_headers})
set(CUELINT_UCHARDET_LIBRARY cuelint_uchardet)
