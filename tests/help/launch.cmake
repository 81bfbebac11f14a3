# Tests of the viewer launch and the default-viewer lookup.
qn3_add_gtest(NAME launch_commandline_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/launch_commandline_test.cpp
  LIBS qn3_help_launch_core)

if(WIN32)
  # Both start programs from C:\; the planted ones must not meet.
  qn3_add_gtest(NAME launch_winexec_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/launch_winexec_test.cpp
    LIBS qn3_help_launch
    DEPENDS_ON viewer-standin
    RESOURCE_LOCK c_program_exe)
  qn3_add_gtest(NAME launch_defaultviewer_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/launch_defaultviewer_test.cpp
    LIBS qn3_help_launch
    DEPENDS_ON viewer-standin
    RESOURCE_LOCK registry)
endif()
