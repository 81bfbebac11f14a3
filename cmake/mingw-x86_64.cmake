# 64-bit Windows: not what ships, but the same sources built as a test
# vehicle for hosts that run 64-bit code only, where the 32-bit Wine
# loader cannot start.
set(QN3_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
