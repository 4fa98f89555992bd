# Cross build of the Windows programs for x86-64, for hosts whose kernel runs
# no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CW_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-comune.cmake)
