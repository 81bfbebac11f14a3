# The program at DPIs other than 96, each in a Wine environment of its own
# (the "wine144" and "wine192" fixtures) so the 96-DPI tests keep theirs.
if(NOT TARGET qn3)
  return()
endif()

set(QN3_DPI_FIXTURE ${CMAKE_CURRENT_LIST_DIR}/dpi-fixture.sh)
foreach(dpi 144 192)
  set(dir ${CMAKE_BINARY_DIR}/dpi${dpi})
  add_test(NAME wine${dpi}.setup COMMAND ${QN3_DPI_FIXTURE} setup ${CMAKE_BINARY_DIR} ${dir} ${dpi})
  add_test(NAME wine${dpi}.cleanup COMMAND ${QN3_DPI_FIXTURE} cleanup ${CMAKE_BINARY_DIR} ${dir} ${dpi})
  set_tests_properties(wine${dpi}.setup PROPERTIES FIXTURES_SETUP wine${dpi} TIMEOUT 300 LABELS e2e)
  set_tests_properties(wine${dpi}.cleanup PROPERTIES FIXTURES_CLEANUP wine${dpi} TIMEOUT 60 LABELS e2e)
endforeach()

qn3_add_e2e_test(NAME e2e_highdpi_test SOURCES highdpi_test.cpp)
set_tests_properties(e2e_highdpi_test PROPERTIES FIXTURES_REQUIRED wine144
  ENVIRONMENT "QN3_BUILD_DIR=${CMAKE_BINARY_DIR}/dpi144;QN3_SOURCE_DIR=${CMAKE_SOURCE_DIR}")

# The window moved between monitors of other DPIs must be laid out as a
# fresh start there. The fresh starts at 144 and 192 run first, each in its
# prefix, and leave their measures in the build tree; the moves run in the
# 96-DPI prefix (the test program picks its part by the prefix's DPI).
qn3_add_e2e_test(NAME e2e_dpi_change_test SOURCES dpi_change_test.cpp)
set_tests_properties(e2e_dpi_change_test PROPERTIES FIXTURES_REQUIRED "wine;dpi_fresh_starts")
foreach(dpi 144 192)
  add_test(NAME e2e_dpi_change_test.fresh${dpi} COMMAND e2e_dpi_change_test --gtest_color=no)
  set_tests_properties(e2e_dpi_change_test.fresh${dpi} PROPERTIES LABELS e2e TIMEOUT 300 RESOURCE_LOCK qn3_app
    FIXTURES_REQUIRED wine${dpi} FIXTURES_SETUP dpi_fresh_starts
    ENVIRONMENT "QN3_BUILD_DIR=${CMAKE_BINARY_DIR}/dpi${dpi};QN3_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endforeach()
