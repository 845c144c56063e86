# The Windows package: `cpack -G ZIP` in a Windows build with the windows (scripts/windows.sh
# builds it, unpacks it into an empty folder and starts it under Wine). A zip rather than an
# installer: it is unpacked anywhere without administrator rights, into a folder the user can
# write, which is where the monitor keeps its format table and where the settings file that
# points it at the driver's interface class goes (zelva1-monitor.ini, see the read-me).
#
# The zip holds one folder: the program, the Qt DLLs it links with the platform plugin and
# the Windows style, the mingw-w64 runtime DLLs, the example files and the Russian read-me.
# Qt's own Russian texts are built into the program.

install(TARGETS zelva1-monitor RUNTIME DESTINATION .)
foreach(module Core Gui Widgets)
  install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION .)
endforeach()
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)

# The compiler's own runtime, which the program and the Qt DLLs link.
foreach(runtime libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                  OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${runtime_path}" OR NOT EXISTS "${runtime_path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${runtime} is")
  endif()
  file(REAL_PATH "${runtime_path}" runtime_path)
  install(FILES "${runtime_path}" DESTINATION .)
endforeach()

install(FILES examples/KST3frmt.stt examples/builtin-traffic.si examples/label-database.csv
              examples/label-faults.cfg examples/stimulus.csv DESTINATION examples)
install(FILES packaging/windows/README-ru.txt packaging/windows/zelva1-monitor.ini.example
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zelva1-monitor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME zelva1-monitor-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)

include(CPack)
