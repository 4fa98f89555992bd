# Run by cpack once the files are staged, before it packs them
# (CPACK_PRE_BUILD_SCRIPTS): every file and folder gets the same time, that
# of the last commit, so the zip and the installer store no build time.
if(NOT CPACK_CW_SOURCE_DATE_EPOCH)
  message(FATAL_ERROR "CPACK_CW_SOURCE_DATE_EPOCH is not set (cmake/Pacchetti.cmake)")
endif()
execute_process(COMMAND find ${CPACK_TEMPORARY_DIRECTORY} -exec touch -h -d @${CPACK_CW_SOURCE_DATE_EPOCH} {} +
                RESULT_VARIABLE esito)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "touch of the files in ${CPACK_TEMPORARY_DIRECTORY} ended with ${esito}")
endif()
