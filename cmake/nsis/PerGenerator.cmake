# Read by cpack once for each generator of the Windows build: the installer beside the zip is
# named for what it is, and installs into the folder it is given, not a folder inside it.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
