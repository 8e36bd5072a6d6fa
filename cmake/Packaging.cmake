# Installing the manual page, and the Debian package built by CPack
# (`cpack -G DEB` in the build folder, or `cmake --workflow --preset package`).
include(GNUInstallDirs)

# Installing and packaging take the program as it is built and do not first
# build every target of the tree, the test programs included; so the package
# test stays quick. Build before installing, as `cmake --install` always
# expects; the `package` workflow preset builds first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# The manual pages of the two programs.
set(SURVEY_MANPAGES ${PROJECT_SOURCE_DIR}/man/survey.1 ${PROJECT_SOURCE_DIR}/man/survey-contour.1)

# Debian wants manual pages gzip-compressed; -n leaves the name and time out
# of the header so that the same page always gives the same bytes.
find_program(SURVEY_GZIP gzip)
set(survey_manpages_gz)
foreach(page IN LISTS SURVEY_MANPAGES)
  get_filename_component(page_name ${page} NAME)
  if(SURVEY_GZIP)
    set(page_gz ${PROJECT_BINARY_DIR}/man/${page_name}.gz)
    add_custom_command(
      OUTPUT ${page_gz}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -E copy ${page} ${PROJECT_BINARY_DIR}/man/${page_name}
      COMMAND ${SURVEY_GZIP} -9 -n -f ${PROJECT_BINARY_DIR}/man/${page_name}
      DEPENDS ${page}
      COMMENT "Compressing the manual page ${page_name}"
      VERBATIM)
    list(APPEND survey_manpages_gz ${page_gz})
    install(FILES ${page_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()
if(survey_manpages_gz)
  add_custom_target(manpage ALL DEPENDS ${survey_manpages_gz})
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
# Debian's name for the processor the program is built for.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "aarch64|arm64|ARM64")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
else()
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
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
# where dpkg-shlibdeps can work them out; otherwise the three a C++
# program built with g++ or clang++ on Debian needs.
find_program(SURVEY_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(SURVEY_DPKG_SHLIBDEPS AND NOT CMAKE_CROSSCOMPILING)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
endif()

# A statically linked program names no shared library for dpkg-shlibdeps to
# read; it was built against this release's C library, so keep that one.
if(SURVEY_STATIC_PROGRAM AND NOT SURVEY_SANITIZE)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6")
endif()

# The ZIP for Windows users, from the Windows build (`cpack -G ZIP` in
# build-windows, or `cmake --workflow --preset windows-zip`): one folder
# holding survey.exe and survey-contour.exe, the README as text with CR LF
# line ends, and the examples. Only this component goes into it.
if(WIN32)
  set(SURVEY_README_TXT ${PROJECT_BINARY_DIR}/README.txt)
  file(READ ${PROJECT_SOURCE_DIR}/README.md survey_readme)
  string(REPLACE "\n" "\r\n" survey_readme "${survey_readme}")
  file(WRITE ${SURVEY_README_TXT} "${survey_readme}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)

  install(PROGRAMS $<TARGET_FILE:survey> $<TARGET_FILE:survey-contour> DESTINATION .
          COMPONENT windows_zip)
  install(FILES ${SURVEY_README_TXT} DESTINATION . COMPONENT windows_zip)
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
