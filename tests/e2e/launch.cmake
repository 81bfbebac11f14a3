# The viewer launch and the default viewer against the real program. Beside
# the program itself, these change the viewer's registration and plant
# C:\Program.exe for a while.
if(TARGET qn3)
  qn3_add_e2e_test(NAME e2e_launch_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/launch_test.cpp)
  set_tests_properties(e2e_launch_test PROPERTIES RESOURCE_LOCK "qn3_app;registry;c_program_exe")
endif()
