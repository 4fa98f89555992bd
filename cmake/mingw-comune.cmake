# What both MinGW-w64 toolchain files share, for the triplet they set
# (CW_MINGW_TRIPLET): the posix thread model, and the compiler's own
# run-time linked in so the programs run in any prefix.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${CW_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CW_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${CW_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${CW_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
