# Cross-compiling for 64-bit Windows with Debian's mingw-w64 toolchain (package g++-mingw-w64-x86-64).
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# For the whole program, also point CMAKE_FIND_ROOT_PATH at a Qt 6 built for this target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TALLYVEX_MINGW_TRIPLET x86_64-w64-mingw32)
# The posix threading flavour: std::thread and std::mutex need it with Debian's mingw-w64.
find_program(CMAKE_C_COMPILER NAMES ${TALLYVEX_MINGW_TRIPLET}-gcc-posix ${TALLYVEX_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TALLYVEX_MINGW_TRIPLET}-g++-posix ${TALLYVEX_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TALLYVEX_MINGW_TRIPLET}-windres REQUIRED)

# Libraries and packages come from the mingw-w64 tree, and from a Qt for Windows given with
# -DCMAKE_FIND_ROOT_PATH=<its prefix>.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${TALLYVEX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine runs the cross-built programs here (tests, try_run).
find_program(TALLYVEX_WINE_PROGRAM wine)
if(TALLYVEX_WINE_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${TALLYVEX_WINE_PROGRAM}")
endif()
