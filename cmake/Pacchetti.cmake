# What an installed copy holds, and the packages CPack makes of it
# (`cmake --build --preset default --target package`, or the package
# workflow presets):
#   Linux: a Debian package, compilawexo_X.Y.Z_amd64.deb, installed under /usr:
#     bin/                 the window, the batch mode, the sandbox maker
#     lib/compilawexo/     the registration worker and the stand-ins the
#                          sandbox uses; windows/ the agent and the
#                          Windows stand-ins
#     share/               the notes, the licence and changelog, the man
#                          pages, the batch mode's bash completion, the
#                          desktop entry, the icon
#   Windows (the windows preset): an installer, CompilaWexo-X.Y.Z-win32.exe
#   (-win64.exe from the windows-x64 preset), and a portable zip of the same
#   folder, CompilaWexo/ whatever the version: the window, the batch mode and
#   the agent side by side, LICENSE.txt, the notes in doc/.
# Test programs and benchmarks are never installed.

set(CW_PACCHETTI ${PROJECT_SOURCE_DIR}/pacchetti)
set(CW_CONTATTO "CompilaWexo <compilawexo@orbalis.invalid>")

# The release is CHANGELOG.md's first section, which must be this version:
# its date dates the man pages, so a rebuild of one release says the same.
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md cw_rilascio REGEX "^## " LIMIT_COUNT 1)
if(NOT cw_rilascio MATCHES "^## ([0-9.]+) - ([0-9-]+)$" OR NOT CMAKE_MATCH_1 STREQUAL CW_VERSIONE)
  message(FATAL_ERROR "${PROJECT_SOURCE_DIR}/CHANGELOG.md: the first section, \"${cw_rilascio}\", "
                      "is not \"## ${CW_VERSIONE} - YYYY-MM-DD\"")
endif()
set(CW_DATA_RILASCIO ${CMAKE_MATCH_2})

# The time every file of the packages is given, so two builds of one commit
# give the same bytes: SOURCE_DATE_EPOCH when the caller sets it, else the
# last commit's time (configure runs again at each commit), else the
# release's day.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(CW_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct OUTPUT_VARIABLE CW_SOURCE_DATE_EPOCH
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE cw_git ERROR_QUIET)
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} rev-parse --absolute-git-dir OUTPUT_VARIABLE cw_cartella_git
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(cw_git EQUAL 0 AND EXISTS ${cw_cartella_git}/logs/HEAD)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${cw_cartella_git}/logs/HEAD)
  else()
    execute_process(COMMAND date -u -d "${CW_DATA_RILASCIO}" +%s OUTPUT_VARIABLE CW_SOURCE_DATE_EPOCH
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
endif()
set(CPACK_CW_SOURCE_DATE_EPOCH ${CW_SOURCE_DATE_EPOCH})

if(WIN32)
  install(TARGETS compilawexo compilawexo-batch compilawexo-agente RUNTIME DESTINATION ${CW_DESTINAZIONE_PROGRAMMI})
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/CHANGELOG.md DESTINATION doc)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION doc/docs)
  # Beside the programs, with Windows line ends, for Notepad and the
  # installer's licence page.
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_BINARY_DIR}/LICENSE.txt DESTINATION .)
else()
  install(TARGETS compilawexo-batch wexo-sandbox RUNTIME DESTINATION ${CW_DESTINAZIONE_PROGRAMMI})
  install(TARGETS compilawexo-regworker standin-vb6 standin-exeserver RUNTIME DESTINATION ${CW_DESTINAZIONE_AUSILIARI})
  # The component the stand-in development environment builds every DLL from.
  install(TARGETS standin-component LIBRARY DESTINATION ${CW_DESTINAZIONE_AUSILIARI})
  if(CW_WITH_WINDOW)
    install(TARGETS compilawexo RUNTIME DESTINATION ${CW_DESTINAZIONE_PROGRAMMI})
    install(TARGETS standin-notepad RUNTIME DESTINATION ${CW_DESTINAZIONE_AUSILIARI})
    install(FILES ${CW_PACCHETTI}/compilawexo.desktop DESTINATION share/applications)
    install(FILES ${CW_PACCHETTI}/compilawexo.svg DESTINATION share/icons/hicolor/scalable/apps)
  endif()
  if(CW_HAVE_WINDOWS_PROGRAMS)
    # CPACK_STRIP_FILES strips with the host's strip, which does not read
    # PE files: these are stripped by the cross strip into a copy of their own.
    if(NOT CW_WINDOWS_STRIP)
      message(FATAL_ERROR "no MinGW-w64 strip for the ${CW_WINDOWS_ARCH_USATA} Windows programs (binutils-mingw-w64)")
    endif()
    set(cw_spogliati ${CMAKE_BINARY_DIR}/windows-spogliati)
    set(cw_windows "")
    foreach(programma compilawexo-agente.exe standin-vb6.exe standin-exeserver.exe standin-component.dll)
      add_custom_command(OUTPUT ${cw_spogliati}/${programma}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${cw_spogliati}
        # strip writes the time into a PE header: this one, not the clock's.
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${CW_SOURCE_DATE_EPOCH}
                ${CW_WINDOWS_STRIP} -o ${cw_spogliati}/${programma}
                ${CW_WINDOWS_BIN_DIR}/${programma}
        DEPENDS cw_windows_programs ${CW_WINDOWS_BIN_DIR}/${programma}
        COMMENT "Stripping ${programma}"
        VERBATIM)
      list(APPEND cw_windows ${cw_spogliati}/${programma})
    endforeach()
    add_custom_target(cw_windows_spogliati ALL DEPENDS ${cw_windows})
    # A library is not run: it is not executable, as on the other side.
    list(FILTER cw_windows INCLUDE REGEX "\\.exe$")
    install(PROGRAMS ${cw_windows} DESTINATION ${CW_DESTINAZIONE_AUSILIARI}/windows)
    install(FILES ${cw_spogliati}/standin-component.dll DESTINATION ${CW_DESTINAZIONE_AUSILIARI}/windows)
  endif()
  set(cw_documenti share/doc/compilawexo)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${cw_documenti})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${cw_documenti}/docs)
  # Debian's own names for them: copyright (the licence) and changelog.gz.
  set(cw_debian ${CMAKE_BINARY_DIR}/debian)
  add_custom_command(OUTPUT ${cw_debian}/copyright ${cw_debian}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${cw_debian}
    COMMAND ${CMAKE_COMMAND} -DSORGENTI=${PROJECT_SOURCE_DIR} -DCONTATTO=${CW_CONTATTO} -DUSCITA=${cw_debian}
            -P ${PROJECT_SOURCE_DIR}/cmake/DocumentiDebian.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/CHANGELOG.md
            ${PROJECT_SOURCE_DIR}/cmake/DocumentiDebian.cmake
    COMMENT "Debian copyright and changelog.gz"
    VERBATIM)
  add_custom_target(cw_documenti_debian ALL DEPENDS ${cw_debian}/copyright ${cw_debian}/changelog.gz)
  install(FILES ${cw_debian}/copyright ${cw_debian}/changelog.gz DESTINATION ${cw_documenti})

  # A man page for each program, from its own --help, so the two never
  # differ, dated by the release.
  set(cw_programmi_man compilawexo-batch wexo-sandbox)
  if(CW_WITH_WINDOW)
    list(APPEND cw_programmi_man compilawexo)
  endif()
  set(cw_pagine "")
  foreach(programma IN LISTS cw_programmi_man)
    set(cw_man ${CMAKE_BINARY_DIR}/man/${programma}.1.gz)
    add_custom_command(OUTPUT ${cw_man}
      COMMAND ${CMAKE_COMMAND} -DPROGRAMMA=$<TARGET_FILE:${programma}> -DVERSIONE=${CW_VERSIONE}
              -DDATA=${CW_DATA_RILASCIO} -DMODELLO=${CW_PACCHETTI}/man/${programma}.1.in -DUSCITA=${cw_man}
              -P ${PROJECT_SOURCE_DIR}/cmake/PaginaMan.cmake
      DEPENDS ${programma} ${PROJECT_SOURCE_DIR}/cmake/PaginaMan.cmake ${CW_PACCHETTI}/man/${programma}.1.in
      COMMENT "Man page ${programma}.1"
      VERBATIM)
    list(APPEND cw_pagine ${cw_man})
  endforeach()
  add_custom_target(cw_pagine_man ALL DEPENDS ${cw_pagine})
  install(FILES ${cw_pagine} DESTINATION share/man/man1)

  # The batch mode's bash completion, from its --help as well, where
  # bash-completion loads it on the first <Tab> after the command's name.
  set(cw_completamento ${CMAKE_BINARY_DIR}/completamento/compilawexo-batch)
  add_custom_command(OUTPUT ${cw_completamento}
    COMMAND ${CMAKE_COMMAND} -DPROGRAMMA=$<TARGET_FILE:compilawexo-batch>
            -DMODELLO=${CW_PACCHETTI}/compilawexo-batch.bash.in -DUSCITA=${cw_completamento}
            -P ${PROJECT_SOURCE_DIR}/cmake/Completamento.cmake
    DEPENDS compilawexo-batch ${PROJECT_SOURCE_DIR}/cmake/Completamento.cmake ${CW_PACCHETTI}/compilawexo-batch.bash.in
    COMMENT "bash completion of compilawexo-batch"
    VERBATIM)
  add_custom_target(cw_completamento ALL DEPENDS ${cw_completamento})
  install(FILES ${cw_completamento} DESTINATION share/bash-completion/completions)
endif()

set(CPACK_PACKAGE_NAME CompilaWexo)
set(CPACK_PACKAGE_VENDOR Orbalis)
set(CPACK_PACKAGE_VERSION ${CW_VERSIONE})
set(CPACK_PACKAGE_CONTACT ${CW_CONTATTO})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Release build of the Orbalis suite's Visual Basic 6 projects")
# No double quotes in it: CPack writes it into its own configuration as it is.
# Its lines stay under 80 columns, as Debian wants the description's.
set(CPACK_PACKAGE_DESCRIPTION
    "CompilaWexo runs the release build of the 148 component projects of the\n\
Orbalis suite from one window, Compilazione Batch Orbalis, or from a terminal\n\
(compilawexo-batch): rotating backups, version stamping, compiling with the\n\
development environment, deployment copies and component registration, over\n\
a Wine-style prefix. wexo-sandbox makes a demo prefix with stand-ins for the\n\
outside programs.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY CompilaWexo)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY CompilaWexo)
# RelWithDebInfo builds carry their debug information; the packages do not.
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PROJECT_CONFIG_FILE ${CW_PACCHETTI}/ConfigurazioneCPack.cmake)
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE CPACK_CW_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)

if(WIN32)
  set(CPACK_GENERATOR NSIS ZIP)
  # Our installer script (pacchetti/NSIS.template.in): per user, no
  # administrator rights, the Start-menu entry for the window.
  set(CPACK_MODULE_PATH ${CW_PACCHETTI})
  set(CPACK_NSIS_PACKAGE_NAME CompilaWexo)
  set(CPACK_NSIS_DISPLAY_NAME "CompilaWexo ${CW_VERSIONE}")
  set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt)
  # VIProductVersion wants four numbers: 0.1.0 is 0.1.0.0.
  string(REPLACE "." ";" cw_numeri "${CW_VERSIONE}")
  list(APPEND cw_numeri 0 0 0 0)
  list(SUBLIST cw_numeri 0 4 cw_numeri)
  list(JOIN cw_numeri "." CPACK_CW_VERSIONE_NUMERI)
  # The installer is of the programs' own bitness: a 64-bit one runs where
  # no 32-bit program does.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_CW_NSIS_TARGET "Target amd64-unicode")
  else()
    set(CPACK_CW_NSIS_TARGET "Unicode true")
  endif()
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_NAME compilawexo)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_POST_BUILD_SCRIPTS ${CW_PACCHETTI}/RifaiDeb.cmake)
  # A suite of Linux stand-ins runs without Wine; real Windows programs need
  # it, and the 32-bit ones its 32-bit loader.
  if(CW_WINDOWS_ARCH_USATA STREQUAL "x64")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine, wine64")
  else()
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine, wine32:i386")
  endif()
endif()

include(CPack)
