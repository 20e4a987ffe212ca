# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 GCC; the programs and tests run here
# under Wine. The -posix compilers are the ones whose C++ library has std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLFEN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLFEN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLFEN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLFEN_MINGW_TRIPLE}-windres)
set(CMAKE_ASM_COMPILER ${QUILLFEN_MINGW_TRIPLE}-gcc-posix)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLFEN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and winpthreads linked in, so an executable needs no DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian's wine wrapper starts wine64 on a machine without the 32-bit loader.
find_program(QUILLFEN_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLFEN_WINE})
