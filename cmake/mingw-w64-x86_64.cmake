# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix).
# The posix thread model is the one whose libstdc++ has std::thread and std::mutex.
#
# ZELVA_QT_MINGW_DIR names a Qt built for mingw-w64 (the folder holding bin/, lib/ and
# plugins/); its CMake packages are then found there, while moc, rcc and uic come from the
# host's Qt of the same version (QT_HOST_PATH).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZELVA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZELVA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZELVA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZELVA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZELVA_MINGW_PREFIX})
if(ZELVA_QT_MINGW_DIR)
  list(APPEND CMAKE_FIND_ROOT_PATH "${ZELVA_QT_MINGW_DIR}")
  # The compiler checks run this file again in their own projects.
  list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZELVA_QT_MINGW_DIR)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
