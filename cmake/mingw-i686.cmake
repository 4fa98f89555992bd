# Cross build of the Windows programs: 32-bit, as the suite's components.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CW_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-comune.cmake)
