# Run by cpack after it made the Debian package (CPACK_POST_BUILD_SCRIPTS),
# before it copies it out: the package made again by dpkg-deb from its own
# contents, without the postinst and postrm CPack adds for any shared object
# under /usr/lib (they only run ldconfig, and our one shared object is a
# private stand-in component no program links to), and with the file times
# clamped to SOURCE_DATE_EPOCH, so two builds of a commit give the same bytes.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(cartella ${deb}.contenuto)
  file(REMOVE_RECURSE ${cartella})
  execute_process(COMMAND dpkg-deb -R ${deb} ${cartella} RESULT_VARIABLE esito)
  if(NOT esito EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -R ${deb} ended with ${esito}")
  endif()
  foreach(script postinst postrm)
    if(EXISTS ${cartella}/DEBIAN/${script})
      file(STRINGS ${cartella}/DEBIAN/${script} righe)
      list(FILTER righe EXCLUDE REGEX "^[ \t]*(#.*|set -e|if \\[.*; then|fi|ldconfig|)$")
      if(righe)
        message(FATAL_ERROR "${deb}: DEBIAN/${script} does more than run ldconfig: ${righe}")
      endif()
      file(REMOVE ${cartella}/DEBIAN/${script})
    endif()
  endforeach()
  # dpkg-deb only lowers later times to SOURCE_DATE_EPOCH: the earlier ones
  # (the sources' checkout times) are set to it here.
  execute_process(COMMAND find ${cartella} -exec touch -h -d @${CPACK_CW_SOURCE_DATE_EPOCH} {} +
                  RESULT_VARIABLE esito)
  if(NOT esito EQUAL 0)
    message(FATAL_ERROR "touch of the files in ${cartella} ended with ${esito}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${CPACK_CW_SOURCE_DATE_EPOCH}
                          dpkg-deb --root-owner-group -Zgzip -z9 -b ${cartella} ${deb}
                  OUTPUT_QUIET RESULT_VARIABLE esito)
  file(REMOVE_RECURSE ${cartella})
  if(NOT esito EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -b ${deb} ended with ${esito}")
  endif()
endforeach()
