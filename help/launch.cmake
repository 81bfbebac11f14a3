# The viewer launch and the default-viewer lookup. The command-line rules
# are Windows-free and build everywhere; the rest needs Windows.
add_library(qn3_help_launch_core STATIC ${CMAKE_CURRENT_LIST_DIR}/uCommandLine.cpp)
target_link_libraries(qn3_help_launch_core PUBLIC qn3_base)

if(WIN32)
  add_library(qn3_help_launch STATIC
    ${CMAKE_CURRENT_LIST_DIR}/uWinExec.cpp
    ${CMAKE_CURRENT_LIST_DIR}/uDefaultViewer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/uOpenNamespace.cpp)
  target_link_libraries(qn3_help_launch PUBLIC qn3_help_launch_core qn3_base user32 advapi32 kernel32)
endif()
