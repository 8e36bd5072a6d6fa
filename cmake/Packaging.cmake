# SPDX-License-Identifier: MIT
# Installing the manual page, and the Debian package built by CPack
# (`cpack -G DEB` in the build folder, or `cmake --workflow --preset package`).
include(GNUInstallDirs)

# Installing and packaging take the program as it is built and do not first
# build every target of the tree, the test programs included; so the package
# test stays quick. Build before installing, as `cmake --install` always
# expects; the `package` workflow preset builds first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# Debian wants manual pages and changelogs gzip-compressed; -n leaves the
# name and time out of the header so that the same file always gives the
# same bytes. Without gzip they are installed as they are.
find_program(SURVEY_GZIP gzip)
set(survey_compressed)
function(survey_install_compressed source destination)
  get_filename_component(name ${source} NAME)
  if(NOT SURVEY_GZIP)
    install(FILES ${source} DESTINATION ${destination})
    return()
  endif()
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${source})
  get_filename_component(folder ${PROJECT_BINARY_DIR}/compressed/${folder} DIRECTORY)
  add_custom_command(
    OUTPUT ${folder}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${folder}/${name}
    COMMAND ${SURVEY_GZIP} -9 -n -f ${folder}/${name}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
  set(survey_compressed ${survey_compressed} ${folder}/${name}.gz PARENT_SCOPE)
  install(FILES ${folder}/${name}.gz DESTINATION ${destination})
endfunction()

# The manual pages of the two programs.
set(SURVEY_MANPAGES ${PROJECT_SOURCE_DIR}/man/survey.1 ${PROJECT_SOURCE_DIR}/man/survey-contour.1)
foreach(page IN LISTS SURVEY_MANPAGES)
  survey_install_compressed(${page} ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# On Linux, the documents a Debian package holds: the changelog, kept in
# Debian's format, and the copyright in Debian's machine-readable form, its
# own paragraph's licence text taken from LICENSE. The changelog's latest
# entry must name the version the package is built as.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(survey_changelog ${PROJECT_SOURCE_DIR}/cmake/debian/changelog)
  file(STRINGS ${survey_changelog} survey_latest LIMIT_COUNT 1)
  if(NOT survey_latest MATCHES "^survey \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "cmake/debian/changelog begins with \"${survey_latest}\","
                        " not an entry for version ${PROJECT_VERSION}")
  endif()
  survey_install_compressed(${survey_changelog} ${CMAKE_INSTALL_DOCDIR})

  # LICENSE's text below its copyright line, as the paragraph's lines.
  file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE survey_license_lines)
  set(SURVEY_LICENSE_TEXT)
  set(survey_below_copyright OFF)
  foreach(line IN LISTS survey_license_lines)
    if(survey_below_copyright)
      if(line STREQUAL "")
        set(line ".")
      endif()
      string(APPEND SURVEY_LICENSE_TEXT " ${line}\n")
    elseif(line MATCHES "^Copyright ")
      set(survey_below_copyright ON)
    endif()
  endforeach()
  string(REGEX REPLACE "^ \\.\n|\n$" "" SURVEY_LICENSE_TEXT "${SURVEY_LICENSE_TEXT}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE
                                                                 ${survey_changelog})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/copyright.in
                 ${PROJECT_BINARY_DIR}/debian/copyright @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
if(survey_compressed)
  add_custom_target(compressed_documents ALL DEPENDS ${survey_compressed})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME survey)
set(CPACK_PACKAGE_VENDOR "survey maintainers")
set(CPACK_PACKAGE_CONTACT "survey maintainers <maintainers@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "area of a closed boundary from polar survey measurements")
set(CPACK_PACKAGE_INSTALL_DIRECTORY survey)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Debian's name for the platform the programs are built for, which the
# platform layer's folder for Linux on this processor gives.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  if(NOT SURVEY_DEBIAN_ARCHITECTURE)
    message(FATAL_ERROR "no Debian architecture is known for Linux on the processor"
                        " '${SURVEY_PROCESSOR}' (src/foundation/linux-${SURVEY_PROCESSOR}/sources.cmake"
                        " sets SURVEY_DEBIAN_ARCHITECTURE)")
  endif()
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${SURVEY_DEBIAN_ARCHITECTURE})
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debian ships programs without their debugging symbols.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "From one station the operator enters, for every vertex of a closed boundary,\n\
the measured length in metres and the direction in grads. survey computes\n\
the signed area of the polygon by the polar area formula, in 80-bit extended\n\
precision with every stored value rounded to double, and prints it in\n\
square metres, ares and hectares. survey-contour reads the same input and\n\
draws the boundary (SVG), flags sides that cross and repeated points, and\n\
exports the points as CSV and DXF for CAD.")

# The run-time dependencies come from the program's own shared libraries
# where dpkg-shlibdeps can work them out. A cross build's libraries belong
# to this machine's cross packages, which dpkg-shlibdeps cannot map to the
# target's; it gets the three a C++ program built with g++ on Debian 12
# needs, at the versions dpkg-shlibdeps gives for the same program here.
find_program(SURVEY_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(SURVEY_DPKG_SHLIBDEPS AND NOT CMAKE_CROSSCOMPILING)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 5)")
endif()

# A statically linked program names no shared library for dpkg-shlibdeps to
# read; it was built against this release's C library, so keep that one.
if(SURVEY_STATIC_PROGRAM AND NOT SURVEY_SANITIZE)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6")
endif()

# The ZIP for Windows users, from the Windows build (`cpack -G ZIP` in
# build-windows, or `cmake --workflow --preset windows-zip`): one folder
# holding survey.exe and survey-contour.exe, the examples, and as text with
# CR LF line ends the README, the licence (LICENSE.txt) and the third-party
# notices. Only this component goes into it.
if(WIN32)
  foreach(text README.md:README.txt LICENSE:LICENSE.txt
               THIRD-PARTY-NOTICES.txt:THIRD-PARTY-NOTICES.txt)
    string(REPLACE ":" ";" text ${text})
    list(GET text 0 source)
    list(GET text 1 name)
    file(READ ${PROJECT_SOURCE_DIR}/${source} content)
    string(REPLACE "\n" "\r\n" content "${content}")
    file(WRITE ${PROJECT_BINARY_DIR}/windows-zip/${name} "${content}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${source})
    install(FILES ${PROJECT_BINARY_DIR}/windows-zip/${name} DESTINATION . COMPONENT windows_zip)
  endforeach()

  install(PROGRAMS $<TARGET_FILE:survey> $<TARGET_FILE:survey-contour> DESTINATION .
          COMPONENT windows_zip)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples DESTINATION . COMPONENT windows_zip)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME survey-${PROJECT_VERSION}-windows-x64)
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL windows_zip)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
endif()

# The page for any static host, from the WebAssembly build (`cmake
# --workflow --preset package-wasm`): survey-web.zip, one folder holding
# the page, its service worker, manifest and icons, the program and the
# contour module, and the licence texts (web/CMakeLists.txt).
if(EMSCRIPTEN)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME survey-web)
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL web)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
endif()

include(CPack)
