# The release package: qn3.exe with the README and the licence in one ZIP
# (and the settings checker qn3prefs.exe, which the README tells users of),
# qn3-<version>-win32.zip, from `cmake --build --preset win32 --target package`.
# The native build has no program to ship, and the 64-bit tree is a test
# vehicle that never ships. The programs come from the release sub-build.
#
# Every clean build of a commit gives the same ZIP (cmake/PackageZip.cmake).
# A SHA256SUMS goes into the ZIP for the files in it, and beside it for
# the ZIP and the programs (cmake/PackageSums.cmake).
if(NOT QN3_RELEASE_SUBBUILD OR NOT TARGET qn3)
  return()
endif()

install(PROGRAMS ${CMAKE_BINARY_DIR}/qn3.exe DESTINATION .)
if(TARGET qn3prefs)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/qn3prefs.exe DESTINATION .)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)
# Last, so that it sums what the lines above installed.
install(CODE "set(QN3_SUMS_FOLDER \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  include(\"${CMAKE_SOURCE_DIR}/cmake/PackageSums.cmake\")")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME qn3)
set(CPACK_PACKAGE_VENDOR Tarvik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME qn3-${PROJECT_VERSION}-win32)
# The files at the top of the archive: unzip and run.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
set(CPACK_QN3_SOURCE_DIR ${CMAKE_SOURCE_DIR})
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/PackageZip.cmake ${CMAKE_SOURCE_DIR}/cmake/PackageSums.cmake)
include(CPack)
