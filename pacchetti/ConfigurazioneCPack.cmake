# Read by cpack for each generator (CPACK_PROJECT_CONFIG_FILE).

# What cpack runs (the strip of CPACK_STRIP_FILES, which writes a time into
# each PE header; makensis; dpkg-deb) takes the last commit's time.
set(ENV{SOURCE_DATE_EPOCH} ${CPACK_CW_SOURCE_DATE_EPOCH})

# The zip's folder has no version: the settings file lies beside it, named
# after it, so a newer copy unpacked over the older one keeps the settings.
# The zip's own name keeps the version.
if(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGING_INSTALL_PREFIX /CompilaWexo)
endif()

# Every file staged for the package gets the time of the last commit
# (CPACK_CW_SOURCE_DATE_EPOCH), before the zip and the installer store it.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DataFile.cmake)
