# The tool's version, one source: project(... VERSION) of the top CMakeLists,
# handed to the sub-build of the Windows programs as CW_VERSIONE.
#   cw_versione_programma(): the header versione_programma.h, through the
#     target cw_versione, for the programs that print the version;
#   cw_risorsa_versione(target descrizione): a version resource in a Windows
#     program (FileVersion, ProductVersion, ProductName, FileDescription,
#     CompanyName, LegalCopyright from LICENSE) and its manifest
#     (pacchetti/compilawexo.manifest).

function(cw_versione_programma)
  set(cartella ${CMAKE_BINARY_DIR}/generati)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/versione_programma.h.in ${cartella}/versione_programma.h @ONLY)
  add_library(cw_versione INTERFACE)
  target_include_directories(cw_versione INTERFACE ${cartella})
endfunction()

function(cw_risorsa_versione target descrizione)
  # Four numbers for the fixed part: 0.1.0 is 0,1,0,0.
  string(REPLACE "." ";" numeri "${CW_VERSIONE}")
  list(APPEND numeri 0 0 0 0)
  list(SUBLIST numeri 0 4 numeri)
  list(JOIN numeri "," CW_VERSIONE_NUMERI)
  list(JOIN numeri "." CW_VERSIONE_PUNTI)
  set(CW_DESCRIZIONE "${descrizione}")
  file(STRINGS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../LICENSE CW_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
  # The manifest, with this version in it, beside the resource that embeds it.
  set(CW_MANIFESTO ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../pacchetti/compilawexo.manifest ${CW_MANIFESTO} @ONLY)
  set(CW_ICONA ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../pacchetti/compilawexo.ico)
  set(CW_PROGRAMMA ${target})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_versione.rc)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/versione.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
