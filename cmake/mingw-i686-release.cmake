# 32-bit Windows, the programs that ship: the win32 thread model, whose C++
# runtime links no thread library. The posix one pulls in winpthreads, which
# imports GetTickCount64 (Vista) and the vectored exception handlers (XP),
# so the program would not start on Windows 2000 or XP.
set(QN3_MINGW_PROCESSOR i686)
set(QN3_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
