# The programs that ship (qn3.exe, qn3prefs.exe), and the yardsticks they
# are measured against, are built with the release toolchain
# (mingw-i686-release.cmake). In the 32-bit tree they come from a sub-build
# of the same sources in <tree>/release, configured with QN3_RELEASE_ONLY,
# which puts them at the top of this tree beside everything else. This tree
# builds the libraries once more with its own toolchain, for the tests and
# stand-ins that link them. The 64-bit tree is a test vehicle and builds
# everything itself.
#
#   qn3_release_programs(NAME...): in the tree whose programs come from the
#   sub-build, makes each NAME a target that builds them and sets
#   QN3_FROM_RELEASE in the caller, who then defines nothing more of them.
option(QN3_RELEASE_ONLY "This tree is the release sub-build: the shipped programs and their yardsticks only" OFF)

set(QN3_RELEASE_SUBBUILD OFF)
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4 AND NOT QN3_RELEASE_ONLY)
  set(QN3_RELEASE_SUBBUILD ON)
  include(ExternalProject)
  ExternalProject_Add(release
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/release
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686-release.cmake
      -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
      -DQN3_RELEASE_ONLY=ON
      -DQN3_TESTS=OFF
      -DQN3_OUTPUT_DIR=${CMAKE_BINARY_DIR}
    # Its own make decides what is out of date.
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
endif()

macro(qn3_release_programs)
  set(QN3_FROM_RELEASE ${QN3_RELEASE_SUBBUILD})
  if(QN3_RELEASE_SUBBUILD)
    foreach(name ${ARGN})
      add_custom_target(${name})
      add_dependencies(${name} release)
    endforeach()
  endif()
endmacro()
