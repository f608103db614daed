# Toolchain for the Windows build: the 64-bit mingw-w64 compilers with the POSIX thread model
# (GoogleTest needs std::thread), windres for resources, and Wine to run what is built.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MORVEK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MORVEK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MORVEK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MORVEK_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MORVEK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the .exe files through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
