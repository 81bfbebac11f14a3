# The program run from a folder with DLLs of system names planted beside
# it: one small DLL, copied under each name by the test.
if(NOT TARGET qn3)
  return()
endif()
add_library(planted-dll SHARED planted_dll.cpp)
set_target_properties(planted-dll PROPERTIES PREFIX "" OUTPUT_NAME planted)
# Exported by their plain names, as the system's DLL exports them.
target_link_options(planted-dll PRIVATE -Wl,--kill-at)

qn3_add_e2e_test(NAME e2e_planted_dll_test SOURCES planted_dll_test.cpp ${CMAKE_SOURCE_DIR}/tests/app/PeImage.cpp
  LIBS advapi32)
add_dependencies(e2e_planted_dll_test planted-dll qn3prefs)
