# Shared by the MinGW-w64 toolchain files: the caller sets CORVEX_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)
# The posix thread model: Debian's default MinGW compilers use the win32 model, whose C++
# library has no std::thread or std::mutex; winpthreads is linked in statically (-static).
set(CMAKE_C_COMPILER ${CORVEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CORVEX_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CORVEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Programs built here run under Wine; ctest starts them through it.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
