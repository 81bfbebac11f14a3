# The release package: qn3.exe with the README and the licence in one ZIP
# (and the settings checker qn3prefs.exe, which the README tells users of),
# qn3-<version>-win32.zip, from `cmake --build --preset win32 --target package`.
# The native build has no program to ship, and the 64-bit tree is a test
# vehicle that never ships.
if(NOT WIN32 OR NOT TARGET qn3 OR CMAKE_SIZEOF_VOID_P EQUAL 8)
  return()
endif()

install(TARGETS qn3 RUNTIME DESTINATION .)
if(TARGET qn3prefs)
  install(TARGETS qn3prefs RUNTIME DESTINATION .)
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
