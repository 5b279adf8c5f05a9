# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers
# (package g++-mingw-w64-x86-64):
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUELLIN_MINGW_TRIPLET x86_64-w64-mingw32)
# The POSIX-threads flavour: its C++ library has std::mutex and friends,
# which GoogleTest needs (the win32 flavour's has not).
set(CMAKE_C_COMPILER ${QUELLIN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUELLIN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUELLIN_MINGW_TRIPLET}-windres)

# Headers and libraries come from the cross sysroot only; programs (the
# generators, the test tools) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${QUELLIN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and tools run under Wine; the wrapper gives every run a time limit.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
