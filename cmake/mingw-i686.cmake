# 32-bit Windows: the program as it ships.
set(QN3_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
