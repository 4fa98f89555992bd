# The man page of compilawexo-batch, made from its own --help and gzipped:
#   cmake -DPROGRAMMA=compilawexo-batch -DVERSIONE=X.Y.Z -DUSCITA=compilawexo-batch.1.gz -P PaginaMan.cmake
execute_process(COMMAND ${PROGRAMMA} --help OUTPUT_VARIABLE aiuto RESULT_VARIABLE esito)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "${PROGRAMMA} --help ended with ${esito}")
endif()
# The text goes in as it is printed: a backslash is troff's escape, and a
# line starting with "." or "'" would be a request.
string(REPLACE "\\" "\\e" aiuto "${aiuto}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" aiuto "${aiuto}")
file(WRITE ${USCITA}.tmp ".TH COMPILAWEXO-BATCH 1 \"\" \"compilawexo-batch ${VERSIONE}\" \"CompilaWexo\"
.SH NOME
compilawexo-batch \\- i comandi della finestra Compilazione Batch Orbalis da terminale
.SH DESCRIZIONE
.nf
${aiuto}.fi
.SH VEDERE ANCHE
/usr/share/doc/compilawexo/README.md
")
execute_process(COMMAND gzip -9n INPUT_FILE ${USCITA}.tmp OUTPUT_FILE ${USCITA} RESULT_VARIABLE esito)
file(REMOVE ${USCITA}.tmp)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "gzip ended with ${esito}")
endif()
