# The Debian package's copyright and changelog.gz, made from LICENSE and
# CHANGELOG.md so the package never says other than the repository:
#   cmake -DSORGENTI=DIR -DCONTATTO="Name <mail>" -DUSCITA=DIR -P DocumentiDebian.cmake
# copyright is in the machine-readable format (the licence as Expat, Debian's
# name for MIT); changelog.gz in the Debian changelog format, one entry per
# section "## X.Y.Z - YYYY-MM-DD" of CHANGELOG.md, its items rewrapped.

file(READ ${SORGENTI}/LICENSE licenza)
if(NOT licenza MATCHES "Copyright \\(c\\) ([^\n]+)\n\n(.*)$")
  message(FATAL_ERROR "${SORGENTI}/LICENSE: no \"Copyright (c) YEAR HOLDER\" line followed by the licence text")
endif()
set(titolare "${CMAKE_MATCH_1}")
set(testo "${CMAKE_MATCH_2}")
string(REGEX REPLACE "\n+$" "" testo "${testo}")
# In the format's text each line starts with a space, an empty one is " .".
string(REGEX REPLACE "\n\n" "\n.\n" testo "${testo}")
string(REPLACE "\n" "\n " testo "${testo}")
file(WRITE ${USCITA}/copyright "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: CompilaWexo
Upstream-Contact: ${CONTATTO}

Files: *
Copyright: ${titolare}
License: Expat

License: Expat
 ${testo}
")

# Debian's changelog wants lines under 80 columns.
function(cw_avvolgi testo rientro uscita)
  string(REGEX REPLACE "[ \n]+" ";" parole "${testo}")
  set(righe "")
  set(riga "")
  foreach(parola IN LISTS parole)
    string(LENGTH "${riga} ${parola}" lunghezza)
    if(riga STREQUAL "")
      set(riga "${parola}")
    elseif(lunghezza GREATER 74)
      string(APPEND righe "${riga}\n${rientro}")
      set(riga "${parola}")
    else()
      string(APPEND riga " ${parola}")
    endif()
  endforeach()
  set(${uscita} "${righe}${riga}" PARENT_SCOPE)
endfunction()

file(STRINGS ${SORGENTI}/CHANGELOG.md righe ENCODING UTF-8)
set(debian "")
set(voce "")
set(versione "")
macro(cw_chiudi_voce)
  if(NOT voce STREQUAL "")
    cw_avvolgi("${voce}" "    " avvolta)
    string(APPEND debian "  * ${avvolta}\n")
    set(voce "")
  endif()
endmacro()
macro(cw_chiudi_versione)
  cw_chiudi_voce()
  if(NOT versione STREQUAL "")
    execute_process(COMMAND date -u -R -d "${data} 00:00:00" OUTPUT_VARIABLE data_debian
                    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE esito)
    if(NOT esito EQUAL 0)
      message(FATAL_ERROR "${SORGENTI}/CHANGELOG.md: the date ${data} of ${versione} is not a date")
    endif()
    string(APPEND debian "\n -- ${CONTATTO}  ${data_debian}\n\n")
  endif()
endmacro()
foreach(riga IN LISTS righe)
  if(riga MATCHES "^## ")
    cw_chiudi_versione()
    if(NOT riga MATCHES "^## ([0-9]+\\.[0-9]+\\.[0-9]+) - ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$")
      message(FATAL_ERROR "${SORGENTI}/CHANGELOG.md: \"${riga}\" is not \"## X.Y.Z - YYYY-MM-DD\"")
    endif()
    set(versione ${CMAKE_MATCH_1})
    set(data ${CMAKE_MATCH_2})
    string(APPEND debian "compilawexo (${versione}) unstable; urgency=medium\n\n")
  elseif(versione STREQUAL "")
    # The file's own heading and preamble.
  elseif(riga MATCHES "^- (.*)$")
    cw_chiudi_voce()
    set(voce "${CMAKE_MATCH_1}")
  elseif(riga MATCHES "^  +(.*)$" AND NOT voce STREQUAL "")
    string(APPEND voce " ${CMAKE_MATCH_1}")
  elseif(NOT riga STREQUAL "")
    message(FATAL_ERROR "${SORGENTI}/CHANGELOG.md: \"${riga}\" is neither a heading nor an item")
  endif()
endforeach()
cw_chiudi_versione()
if(debian STREQUAL "")
  message(FATAL_ERROR "${SORGENTI}/CHANGELOG.md holds no version")
endif()
string(REGEX REPLACE "\n+$" "\n" debian "${debian}")
file(WRITE ${USCITA}/changelog "${debian}")
execute_process(COMMAND gzip -9n INPUT_FILE ${USCITA}/changelog OUTPUT_FILE ${USCITA}/changelog.gz RESULT_VARIABLE esito)
file(REMOVE ${USCITA}/changelog)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "gzip ended with ${esito}")
endif()
