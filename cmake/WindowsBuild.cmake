# The native Windows build (the "windows" preset): what the host's packages
# give the Linux build comes from sources here, cross-built with the rest.
#   GoogleTest from its sources, as GTest::gtest and GTest::gtest_main;
#   CLI11 as headers only, from the host;
#   the test programs run under wine, in one prefix of the build folder.

# No link time in the PE header: two builds of one commit give the same bytes.
add_link_options(-Wl,--no-insert-timestamp)

set(CW_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest sources, built with the program")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# The run-time is linked statically (the toolchain's -static), so GoogleTest
# must not ask for the shared one (this matters to MSVC only).
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${CW_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Recent GoogleTest names its targets so itself.
if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()

# Only CLI/ is copied: the host's /usr/include on the include path would
# shadow the cross compiler's own headers.
find_path(CW_CLI11_INCLUDE CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(cw_cli11 ${CMAKE_BINARY_DIR}/cli11/include)
file(COPY ${CW_CLI11_INCLUDE}/CLI DESTINATION ${cw_cli11})
add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${cw_cli11})

if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(CW_WINE wine REQUIRED)
  # A 64-bit build runs in a win64 prefix, which needs no 32-bit program.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(cw_wine_arch win64)
  else()
    set(cw_wine_arch win32)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/cmake/esegui-wine.sh ${cw_wine_arch} ${CMAKE_BINARY_DIR}/wine)
endif()
