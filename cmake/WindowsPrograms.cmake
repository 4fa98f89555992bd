# The Windows programs (the registration worker and the Windows stand-ins),
# built by the cross compiler in a sub-build of their own. For the rest of
# the build this sets CW_HAVE_WINDOWS_PROGRAMS, CW_WINDOWS_BIN_DIR,
# CW_WINDOWS_ARCH_USATA (x86 or x64), CW_WINDOWS_STRIP and the target cw_windows_programs
# (empty when they are not built, so that add_dependencies on it always
# works).
option(CW_WINDOWS_PROGRAMS "Build the Windows programs when the cross compiler is installed" ON)
# The suite's components are 32-bit, and so is the agent that registers
# them; a host whose kernel runs no 32-bit program gets the x86-64 ones, so
# the tool can still be built, tested and shown there.
set(CW_WINDOWS_ARCH auto CACHE STRING
  "Architecture of the Windows programs: auto (x86 where this host runs 32-bit programs, else x64), x86 or x64")
set_property(CACHE CW_WINDOWS_ARCH PROPERTY STRINGS auto x86 x64)

# Built for Windows, the programs are ordinary targets of the build, beside
# the tool, where it looks for its worker.
if(WIN32)
  set(CW_HAVE_WINDOWS_PROGRAMS ON)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CW_WINDOWS_ARCH_USATA x64)
  else()
    set(CW_WINDOWS_ARCH_USATA x86)
  endif()
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

set(CW_WINDOWS_ARCH_USATA ${CW_WINDOWS_ARCH})
if(CW_WINDOWS_ARCH STREQUAL "auto")
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/cmake/esegue-32bit.sh RESULT_VARIABLE cw_32bit
                  OUTPUT_VARIABLE cw_perche OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(cw_32bit EQUAL 0)
    set(CW_WINDOWS_ARCH_USATA x86)
  else()
    set(CW_WINDOWS_ARCH_USATA x64)
    message(STATUS "Windows programs: x64, as ${cw_perche}")
  endif()
elseif(NOT CW_WINDOWS_ARCH MATCHES "^(x86|x64)$")
  message(FATAL_ERROR "CW_WINDOWS_ARCH is auto, x86 or x64, not ${CW_WINDOWS_ARCH}")
endif()
if(CW_WINDOWS_ARCH_USATA STREQUAL "x64")
  set(cw_triplet x86_64-w64-mingw32)
  set(cw_toolchain ${PROJECT_SOURCE_DIR}/cmake/mingw-x86_64.cmake)
else()
  set(cw_triplet i686-w64-mingw32)
  set(cw_toolchain ${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake)
endif()

find_program(CW_MINGW_CXX_${CW_WINDOWS_ARCH_USATA} ${cw_triplet}-g++-posix)
find_program(CW_MINGW_CC_${CW_WINDOWS_ARCH_USATA} ${cw_triplet}-gcc-posix)
# For the packages: the host's strip does not read PE files.
find_program(CW_WINDOWS_STRIP_${CW_WINDOWS_ARCH_USATA} ${cw_triplet}-strip)
set(CW_WINDOWS_STRIP ${CW_WINDOWS_STRIP_${CW_WINDOWS_ARCH_USATA}})
if(CW_WINDOWS_PROGRAMS AND CW_MINGW_CXX_${CW_WINDOWS_ARCH_USATA} AND CW_MINGW_CC_${CW_WINDOWS_ARCH_USATA})
  set(CW_HAVE_WINDOWS_PROGRAMS ON)
else()
  set(CW_HAVE_WINDOWS_PROGRAMS OFF)
endif()

if(NOT CW_HAVE_WINDOWS_PROGRAMS)
  if(CW_WINDOWS_PROGRAMS)
    message(STATUS "Windows programs: not built (${cw_triplet}-g++-posix not found)")
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
  BINARY_DIR ${CMAKE_BINARY_DIR}/windows-${CW_WINDOWS_ARCH_USATA}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${cw_toolchain}
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
message(STATUS "Windows programs: built for ${CW_WINDOWS_ARCH_USATA} into ${CW_WINDOWS_BIN_DIR}")
