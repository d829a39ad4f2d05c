# Run by cpack in the package's staging folder, before the .deb is made: Debian's
# packages carry compressed manual pages, the license as doc/<package>/copyright and a
# compressed changelog.

# Without dpkg-shlibdeps cpack makes a package that declares no dependencies: it installs,
# then cannot start for want of libutf8proc. Without `file` cpack stops with a message that
# does not say why it matters. Both stop here, saying what to install.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(CUECHECK_SHLIBDEPS dpkg-shlibdeps)
  find_program(CUECHECK_FILE file)
  if(NOT CUECHECK_SHLIBDEPS OR NOT CUECHECK_FILE)
    message(FATAL_ERROR
            "cpack -G DEB needs dpkg-shlibdeps and file to find the package's dependencies; "
            "install them first: apt-get install dpkg-dev file")
  endif()
endif()

file(GLOB_RECURSE pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man1/*.1")
foreach(page ${pages})
  execute_process(COMMAND gzip -9n "${page}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip ${page} failed")
  endif()
endforeach()
file(GLOB docs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/cuecheck")
foreach(doc ${docs})
  file(READ "${doc}/LICENSE" license)
  file(WRITE "${doc}/copyright"
       "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
       "Upstream-Name: cuecheck\n\nFiles: *\nCopyright: 2026 the cuecheck authors\n"
       "License: Expat\n")
  string(REGEX REPLACE "\n\n" "\n.\n" body "${license}")
  string(REGEX REPLACE "\n([^\n])" "\n \\1" body "${body}")
  file(APPEND "${doc}/copyright" " ${body}")
  file(WRITE "${doc}/changelog"
       "cuecheck (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium\n\n"
       "  * First package of cuecheck and cuelint.\n\n"
       " -- ${CPACK_PACKAGE_CONTACT}  Mon, 07 Dec 2026 12:00:00 +0000\n")
  execute_process(COMMAND gzip -9n "${doc}/changelog")
endforeach()
