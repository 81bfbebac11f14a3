# Cross toolchain for Windows with MinGW-w64, for the processor and thread
# model that the including file names (QN3_MINGW_PROCESSOR, and
# QN3_MINGW_THREADS, posix unless it says win32). The -posix compilers give
# std::mutex and std::thread, which GoogleTest needs; the -win32 ones link
# no thread library. Always the suffixed name: installing one variant moves
# Debian's unsuffixed alternative.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QN3_MINGW_PROCESSOR})
if(NOT QN3_MINGW_THREADS)
  set(QN3_MINGW_THREADS posix)
endif()
set(QN3_MINGW_TRIPLE ${QN3_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${QN3_MINGW_TRIPLE}-gcc-${QN3_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${QN3_MINGW_TRIPLE}-g++-${QN3_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${QN3_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QN3_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test executables run under Wine, through a wrapper that puts them into the
# build tree's private prefix and display, with the tree's Wine loader.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
