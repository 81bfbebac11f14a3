# The settings file against the real program: first run, positions, emptied
# fields, refused files.
if(TARGET qn3)
  qn3_add_e2e_test(NAME e2e_settings_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_test.cpp)
endif()
