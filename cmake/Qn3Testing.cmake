# Test helpers shared by every test folder.
#
#   qn3_add_gtest(NAME n SOURCES ... [LIBS ...] [LABELS ...] [RESOURCE_LOCK ...] [TIMEOUT s])
#
# Native builds run the test directly (label "native"). Windows builds run it
# under Wine through the emulator wrapper (label "wine" unless LABELS says
# otherwise, e.g. "e2e"), inside the build tree's private prefix, which the
# "wine" fixture starts once per run and ends afterwards.
option(QN3_TESTS "Build the tests" ON)

if(QN3_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(QN3_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
  add_subdirectory(${QN3_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL SYSTEM)
  enable_testing()

  if(WIN32)
    set(QN3_WINE_FIXTURE ${CMAKE_SOURCE_DIR}/scripts/wine-fixture.sh)
    add_test(NAME wine.setup COMMAND ${QN3_WINE_FIXTURE} setup ${CMAKE_BINARY_DIR})
    add_test(NAME wine.cleanup COMMAND ${QN3_WINE_FIXTURE} cleanup ${CMAKE_BINARY_DIR})
    set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300 LABELS "wine;e2e")
    set_tests_properties(wine.cleanup PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60 LABELS "wine;e2e")
  endif()
endif()

function(qn3_add_gtest)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;RESOURCE_LOCK;DEPENDS_ON" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest gtest_main)
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(WIN32)
    if(NOT T_LABELS)
      set(T_LABELS wine)
    endif()
    target_link_options(${T_NAME} PRIVATE -mconsole)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wine)
    if(T_DEPENDS_ON)
      add_dependencies(${T_NAME} ${T_DEPENDS_ON})
    endif()
  else()
    if(NOT T_LABELS)
      set(T_LABELS native)
    endif()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QN3_BUILD_DIR=${CMAKE_BINARY_DIR};QN3_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(T_RESOURCE_LOCK)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK "${T_RESOURCE_LOCK}")
  endif()
endfunction()
