# The same code as a 64-bit library, the one the Wine tests run (wine64).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CORVEX_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
