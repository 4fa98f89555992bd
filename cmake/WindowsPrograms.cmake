# The Windows programs (the registration worker and the Windows stand-ins),
# built by the cross compiler in a sub-build of their own. For the rest of
# the build this sets CW_HAVE_WINDOWS_PROGRAMS, CW_WINDOWS_BIN_DIR and the
# target cw_windows_programs (empty when they are not built, so that
# add_dependencies on it always works).
option(CW_WINDOWS_PROGRAMS "Build the 32-bit Windows programs when the cross compiler is installed" ON)

# Built for Windows, the programs are ordinary targets of the build, beside
# the tool, where it looks for its worker.
if(WIN32)
  set(CW_HAVE_WINDOWS_PROGRAMS ON)
  set(CW_WINDOWS_BIN_DIR ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  set(CW_SORGENTI ${PROJECT_SOURCE_DIR})
  add_subdirectory(${PROJECT_SOURCE_DIR}/cmake/windows ${CMAKE_BINARY_DIR}/programmi_windows)
  add_custom_target(cw_windows_programs)
  add_dependencies(cw_windows_programs compilawexo-agente standin-vb6 standin-exeserver standin-component
    standin-component-blocca standin-component-errore standin-component-crash standin-component-vuota
    standin-component-esce standin-component-rifiuta standin-component-sfalse standin-exeserver-esce
    standin-exeserver-blocca)
  return()
endif()

set(CW_WINDOWS_BIN_DIR ${CMAKE_BINARY_DIR}/bin/windows)

find_program(CW_MINGW_CXX i686-w64-mingw32-g++-posix)
find_program(CW_MINGW_CC i686-w64-mingw32-gcc-posix)
if(CW_WINDOWS_PROGRAMS AND EXISTS "${CW_MINGW_CXX}" AND EXISTS "${CW_MINGW_CC}")
  set(CW_HAVE_WINDOWS_PROGRAMS ON)
else()
  set(CW_HAVE_WINDOWS_PROGRAMS OFF)
endif()

if(NOT CW_HAVE_WINDOWS_PROGRAMS)
  if(CW_WINDOWS_PROGRAMS)
    message(STATUS "Windows programs: not built (i686-w64-mingw32-g++-posix not found)")
  endif()
  add_custom_target(cw_windows_programs)
  return()
endif()

include(ExternalProject)
set(cw_programmi_windows
  compilawexo-agente.exe standin-vb6.exe standin-exeserver.exe standin-component.dll
  standin-component-blocca.dll standin-component-errore.dll standin-component-crash.dll
  standin-component-vuota.dll standin-component-esce.dll standin-component-rifiuta.dll standin-component-sfalse.dll
  standin-exeserver-esce.exe standin-exeserver-blocca.exe)
list(TRANSFORM cw_programmi_windows PREPEND ${CW_WINDOWS_BIN_DIR}/)
set(cw_lanciatori "")
foreach(lingua C CXX)
  if(CMAKE_${lingua}_COMPILER_LAUNCHER)
    list(APPEND cw_lanciatori -DCMAKE_${lingua}_COMPILER_LAUNCHER=${CMAKE_${lingua}_COMPILER_LAUNCHER})
  endif()
endforeach()
ExternalProject_Add(cw_windows_programs
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/cmake/windows
  BINARY_DIR ${CMAKE_BINARY_DIR}/windows
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DCW_SORGENTI=${PROJECT_SOURCE_DIR}
    -DCW_WINDOWS_BIN_DIR=${CW_WINDOWS_BIN_DIR}
    -DCW_VERSIONE=${CW_VERSIONE}
    -DCW_WERROR=${CW_WERROR}
    ${cw_lanciatori}
  # Source edits must reach the programs without a fresh configure.
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${cw_programmi_windows}
  USES_TERMINAL_BUILD OFF)
message(STATUS "Windows programs: built into ${CW_WINDOWS_BIN_DIR}")
