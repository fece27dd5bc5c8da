# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the POSIX-threads flavour, which
# gives std::thread and std::mutex). Programs built here run under wine for the tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SORVANTO_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${SORVANTO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SORVANTO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SORVANTO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SORVANTO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs carry their C and C++ runtimes (and winpthread) inside, so the zip needs no DLLs
# beside them and wine needs no search path.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest and the build's own helpers start the .exe files through wine.
find_program(SORVANTO_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(SORVANTO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SORVANTO_WINE})
endif()
