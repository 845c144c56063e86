# The Windows packages: `cpack` in a Windows build with the windows makes both (scripts/windows.sh
# builds them and checks them under Wine).
#
# The zip, for use without installing: unpacked anywhere without administrator rights, into a
# folder the user can write, which is where the monitor keeps its format table and where the
# settings file that points it at the driver's interface class goes (zelva1-monitor.ini, see
# the read-me). It holds one folder: the program, the Qt DLLs it links with the platform plugin
# and the Windows style, the mingw-w64 runtime DLLs, the example files, the help pages and the
# Russian read-me; the tool zelva1.exe with zelva1.dll, the SDK (sdk/) and the Python package
# (python/zelva1) from lib/ and cli/. Qt's own Russian texts are built into the program.
#
# The installer (NSIS) puts the same files under Program Files in three components, the
# monitor (required), the SDK and the Python package; Start menu entries for the program, its
# help and the uninstaller; and an entry among the installed programs. Its template is the
# project's own (cmake/nsis): CMake 3.25's makes a 32-bit ANSI installer, which shows no
# Russian on a system of another language and does not run under a Wine without its 32-bit
# half, and only a line smuggled into its compressor setting could make it 64-bit and
# Unicode; it takes the pages' language from the system, English for any but its sixty, with
# no hook in .onInit to choose one; and it asks whether to add the program to PATH, which
# nothing here needs.

install(TARGETS zelva1-monitor RUNTIME DESTINATION . COMPONENT monitor)
foreach(module Core Gui Widgets)
  install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION . COMPONENT monitor)
endforeach()
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms
        COMPONENT monitor)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles COMPONENT monitor)

# The compiler's own runtime, which the program and the Qt DLLs link.
foreach(runtime libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                  OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${runtime_path}" OR NOT EXISTS "${runtime_path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${runtime} is")
  endif()
  file(REAL_PATH "${runtime_path}" runtime_path)
  install(FILES "${runtime_path}" DESTINATION . COMPONENT monitor)
endforeach()

install(FILES examples/KST3frmt.stt examples/builtin-traffic.si examples/label-database.csv
              examples/label-faults.cfg examples/stimulus.csv DESTINATION examples
        COMPONENT monitor)
install(FILES packaging/windows/README-ru.txt packaging/windows/zelva1-monitor.ini.example
        DESTINATION . COMPONENT monitor)
# The pages the program shows on F1, as files too, for the Start menu's help entry: the same
# sources, linked to each other by relative names, read by any browser.
install(DIRECTORY ui/help/ DESTINATION help COMPONENT monitor FILES_MATCHING PATTERN "*.html")

set(CPACK_GENERATOR "ZIP;NSIS")
set(CPACK_PACKAGE_NAME zelva1-monitor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "ZELVA-1 monitor maintainers")
set(CPACK_PACKAGE_FILE_NAME zelva1-monitor-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
# The installer is named ...-win64-setup.exe beside the zip (read by cpack per generator).
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/nsis/PerGenerator.cmake)

set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/nsis)
set(CPACK_NSIS_PACKAGE_NAME "Монитор модуля ZELVA-1")
set(CPACK_NSIS_DISPLAY_NAME "Монитор модуля ZELVA-1")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY ZELVA-1)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ZELVA-1)
set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
# zlib rather than LZMA: 19.6 MB made in 10 s against 14.2 MB in 44 s (solid LZMA, two busy
# cores), a time the Windows step of the test command pays on every run.
set(CPACK_NSIS_COMPRESSOR zlib)
# The template's own values: the Start menu folder and its entries.
set(CPACK_ZELVA_START_MENU_FOLDER ZELVA-1)
set(CPACK_ZELVA_PROGRAM zelva1-monitor.exe)
set(CPACK_ZELVA_PROGRAM_ARGUMENTS --user-folder)
set(CPACK_ZELVA_PROGRAM_ENTRY "Монитор модуля ZELVA-1")
set(CPACK_ZELVA_HELP "help\\\\contents.html") # cpack reads it back as CMake code
set(CPACK_ZELVA_HELP_ENTRY "Справка монитора ZELVA-1")
set(CPACK_ZELVA_UNINSTALL_ENTRY "Удалить монитор ZELVA-1")

include(CPack)

cpack_add_component(monitor REQUIRED
  DISPLAY_NAME "Монитор"
  DESCRIPTION "Программа с библиотеками Qt и среды выполнения, справка, примеры файлов и описание; утилита командной строки zelva1.exe и библиотека zelva1.dll")
cpack_add_component(sdk
  DISPLAY_NAME "Средства разработки на C"
  DESCRIPTION "Папка sdk: заголовок zelva1.h, библиотека импорта и пакет CMake (find_package(zelva1))")
cpack_add_component(python
  DISPLAY_NAME "Пакет Python"
  DESCRIPTION "Пакет zelva1 для Python в папке python, работающий через zelva1.dll")
