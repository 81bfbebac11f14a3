# The release package: qn3.exe with the README and the licence in one ZIP
# (and the settings checker qn3prefs.exe, which the README tells users of),
# qn3-<version>-win32.zip, from `cmake --build --preset win32 --target package`.
# The native build has no program to ship, and the 64-bit tree is a test
# vehicle that never ships. The programs come from the release sub-build.
if(NOT QN3_RELEASE_SUBBUILD OR NOT TARGET qn3)
  return()
endif()

install(PROGRAMS ${CMAKE_BINARY_DIR}/qn3.exe DESTINATION .)
if(TARGET qn3prefs)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/qn3prefs.exe DESTINATION .)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME qn3)
set(CPACK_PACKAGE_VENDOR Tarvik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME qn3-${PROJECT_VERSION}-win32)
# The files at the top of the archive: unzip and run.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
