# What an installed copy holds, and the packages CPack makes of it
# (`cmake --build --preset default --target package`, or the package
# workflow presets):
#   Linux: a Debian package, compilawexo_X.Y.Z_amd64.deb, installed under /usr:
#     bin/                 the window, the batch mode, the sandbox maker
#     lib/compilawexo/     the registration worker and the stand-ins the
#                          sandbox uses; windows/ the agent and the
#                          Windows stand-ins
#     share/               the notes, the man page, the desktop entry, the icon
#   Windows (the windows preset): an installer, CompilaWexo-X.Y.Z-win32.exe
#   (-win64.exe from the windows-x64 preset), and a portable zip of the same folder: the window, the batch mode and the
#   agent side by side, the notes in doc/.
# Test programs and benchmarks are never installed.

set(CW_PACCHETTI ${PROJECT_SOURCE_DIR}/pacchetti)

if(WIN32)
  install(TARGETS compilawexo compilawexo-batch compilawexo-agente RUNTIME DESTINATION ${CW_DESTINAZIONE_PROGRAMMI})
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION doc)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION doc/docs)
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
    set(cw_windows compilawexo-agente.exe standin-vb6.exe standin-exeserver.exe standin-component.dll)
    list(TRANSFORM cw_windows PREPEND ${CW_WINDOWS_BIN_DIR}/)
    install(PROGRAMS ${cw_windows} DESTINATION ${CW_DESTINAZIONE_AUSILIARI}/windows)
  endif()
  set(cw_documenti share/doc/compilawexo)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${cw_documenti})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${cw_documenti}/docs)

  # The man page, from the batch mode's own --help, so the two never differ.
  set(cw_man ${CMAKE_BINARY_DIR}/man/compilawexo-batch.1.gz)
  add_custom_command(OUTPUT ${cw_man}
    COMMAND ${CMAKE_COMMAND} -DPROGRAMMA=$<TARGET_FILE:compilawexo-batch> -DVERSIONE=${CW_VERSIONE} -DUSCITA=${cw_man}
            -P ${PROJECT_SOURCE_DIR}/cmake/PaginaMan.cmake
    DEPENDS compilawexo-batch ${PROJECT_SOURCE_DIR}/cmake/PaginaMan.cmake
    COMMENT "Man page compilawexo-batch.1")
  add_custom_target(cw_pagina_man ALL DEPENDS ${cw_man})
  install(FILES ${cw_man} DESTINATION share/man/man1)
endif()

set(CPACK_PACKAGE_NAME CompilaWexo)
set(CPACK_PACKAGE_VENDOR Orbalis)
set(CPACK_PACKAGE_VERSION ${CW_VERSIONE})
set(CPACK_PACKAGE_CONTACT "CompilaWexo <compilawexo@orbalis.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Release build of the Orbalis suite's Visual Basic 6 projects")
# No double quotes in it: CPack writes it into its own configuration as it is.
set(CPACK_PACKAGE_DESCRIPTION
    "CompilaWexo runs the release build of the 148 component projects of the Orbalis suite from one window, \
Compilazione Batch Orbalis, or from a terminal (compilawexo-batch): rotating backups, version stamping, \
compiling with the development environment, deployment copies and component registration, over a Wine-style \
prefix. wexo-sandbox makes a demo prefix with stand-ins for the outside programs.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY CompilaWexo)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY CompilaWexo)
# RelWithDebInfo builds carry their debug information; the packages do not.
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")

if(WIN32)
  set(CPACK_GENERATOR NSIS ZIP)
  # Our installer script (pacchetti/NSIS.template.in): per user, no
  # administrator rights, the Start-menu entry for the window.
  set(CPACK_MODULE_PATH ${CW_PACCHETTI})
  set(CPACK_NSIS_PACKAGE_NAME CompilaWexo)
  set(CPACK_NSIS_DISPLAY_NAME "CompilaWexo ${CW_VERSIONE}")
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
  # A suite of Linux stand-ins runs without Wine; real Windows programs need
  # it, and the 32-bit ones its 32-bit loader.
  if(CW_WINDOWS_ARCH_USATA STREQUAL "x64")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine, wine64")
  else()
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine, wine32:i386")
  endif()
endif()

include(CPack)
