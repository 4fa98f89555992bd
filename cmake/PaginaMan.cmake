# A program's man page, made from its own --help so the two cannot differ,
# and gzipped:
#   cmake -DPROGRAMMA=compilawexo-batch -DVERSIONE=X.Y.Z -DDATA=YYYY-MM-DD
#         -DMODELLO=pacchetti/man/compilawexo-batch.1.in -DUSCITA=compilawexo-batch.1.gz -P PaginaMan.cmake
# The help is read as: its usage lines up to the first empty line (SYNOPSIS),
# the paragraphs up to the first heading, a line "Something:" (DESCRIPTION),
# each heading's lines (a subsection of OPTIONS), and the heading "Stato di
# uscita:" or "Exit status:" (EXIT STATUS). The model holds the rest: NAME,
# ENVIRONMENT, FILES, EXAMPLES, where @SINOSSI@, @DESCRIZIONE@, @OPZIONI@ and
# @STATO@ go, and the date of the release, @DATA@.
execute_process(COMMAND ${PROGRAMMA} --help OUTPUT_VARIABLE aiuto RESULT_VARIABLE esito)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "${PROGRAMMA} --help ended with ${esito}")
endif()

# The text goes in as it is printed: a backslash is troff's escape, and a
# line starting with "." or "'" would be a request.
function(cw_troff testo uscita)
  string(REPLACE "\\" "\\e" testo "${testo}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" testo "${testo}")
  set(${uscita} "${testo}" PARENT_SCOPE)
endfunction()

# Lines, empty ones kept (a list would drop them, and split at ";").
string(REPLACE ";" "\\;" aiuto "${aiuto}")
string(REGEX REPLACE "\n$" "" aiuto "${aiuto}")
string(REPLACE "\n" ";" righe "${aiuto}")

set(parte sinossi)
set(SINOSSI "")
set(DESCRIZIONE "")
set(OPZIONI "")
set(STATO "")
foreach(riga IN LISTS righe)
  cw_troff("${riga}" riga)
  if(parte STREQUAL "sinossi")
    if(riga STREQUAL "")
      set(parte descrizione)
    else()
      string(REGEX REPLACE "^([Uu]sage|[Uu]so): +" "" riga "${riga}")
      # A usage line that goes on over the next line is one line here.
      if(riga MATCHES "^ +[^ ]" AND NOT riga MATCHES "^ +[a-z]")
        string(REGEX REPLACE "^ +" " " riga "${riga}")
        string(REGEX REPLACE "\n$" "" SINOSSI "${SINOSSI}")
        string(APPEND SINOSSI "${riga}\n")
      else()
        string(REGEX REPLACE "^ +" "" riga "${riga}")
        string(APPEND SINOSSI ".br\n${riga}\n")
      endif()
    endif()
  elseif(riga MATCHES "^[^ ].*:$")
    if(riga MATCHES "^(Stato di uscita|Exit status):$")
      set(parte stato)
    else()
      set(parte opzioni)
      string(REGEX REPLACE ":$" "" titolo "${riga}")
      string(APPEND OPZIONI ".SS \"${titolo}\"\n")
    endif()
  elseif(parte STREQUAL "descrizione")
    if(riga STREQUAL "")
      string(APPEND DESCRIZIONE ".PP\n")
    else()
      string(APPEND DESCRIZIONE "${riga}\n")
    endif()
  elseif(parte STREQUAL "opzioni")
    string(APPEND OPZIONI "${riga}\n")
  else()
    string(APPEND STATO "${riga}\n")
  endif()
endforeach()
foreach(sezione SINOSSI DESCRIZIONE OPZIONI STATO)
  string(REGEX REPLACE "(\\.PP\n|\n)+$" "" ${sezione} "${${sezione}}")
  if(${sezione} STREQUAL "")
    message(FATAL_ERROR "${PROGRAMMA} --help: no ${sezione} part (see cmake/PaginaMan.cmake)")
  endif()
endforeach()
# What is laid out in columns keeps its lines.
string(REGEX REPLACE "^\\.br\n" "" SINOSSI "${SINOSSI}")
set(OPZIONI ".nf\n${OPZIONI}\n.fi")
set(STATO ".nf\n${STATO}\n.fi")

file(READ ${MODELLO} pagina)
string(CONFIGURE "${pagina}" pagina @ONLY)
foreach(titolo NAME SYNOPSIS DESCRIPTION OPTIONS "\"EXIT STATUS\"" ENVIRONMENT FILES EXAMPLES)
  string(FIND "${pagina}" "\n.SH ${titolo}\n" dove)
  if(dove EQUAL -1)
    message(FATAL_ERROR "${MODELLO}: no section .SH ${titolo}")
  endif()
endforeach()
file(WRITE ${USCITA}.tmp "${pagina}")
execute_process(COMMAND gzip -9n INPUT_FILE ${USCITA}.tmp OUTPUT_FILE ${USCITA} RESULT_VARIABLE esito)
file(REMOVE ${USCITA}.tmp)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "gzip ended with ${esito}")
endif()
