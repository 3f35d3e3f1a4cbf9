# Cross-build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64).
# The -posix compilers: the default win32 thread model has no std::mutex,
# which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VN3_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VN3_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VN3_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VN3_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VN3_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in: the executables run on a bare Windows (or Wine)
# without the MinGW runtime DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine, always bounded by a timeout.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
