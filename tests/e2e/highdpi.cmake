# The program at 144 DPI, in a second Wine environment of its own (the
# "wine144" fixture) so the 96-DPI tests keep theirs.
if(NOT TARGET qn3)
  return()
endif()

set(QN3_DPI144_DIR ${CMAKE_BINARY_DIR}/dpi144)
set(QN3_DPI144_FIXTURE ${CMAKE_CURRENT_LIST_DIR}/highdpi-fixture.sh)
add_test(NAME wine144.setup COMMAND ${QN3_DPI144_FIXTURE} setup ${CMAKE_BINARY_DIR} ${QN3_DPI144_DIR})
add_test(NAME wine144.cleanup COMMAND ${QN3_DPI144_FIXTURE} cleanup ${CMAKE_BINARY_DIR} ${QN3_DPI144_DIR})
set_tests_properties(wine144.setup PROPERTIES FIXTURES_SETUP wine144 TIMEOUT 300 LABELS e2e)
set_tests_properties(wine144.cleanup PROPERTIES FIXTURES_CLEANUP wine144 TIMEOUT 60 LABELS e2e)

qn3_add_e2e_test(NAME e2e_highdpi_test SOURCES highdpi_test.cpp)
set_tests_properties(e2e_highdpi_test PROPERTIES FIXTURES_REQUIRED wine144
  ENVIRONMENT "QN3_BUILD_DIR=${QN3_DPI144_DIR};QN3_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
