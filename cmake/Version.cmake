# One version for everything the project makes: the monitor, the C library, the tool, the
# Python package and every package built of them, all from project(VERSION) in CMakeLists.txt.
#
# Three files carry it in their own text because they are used without this build: zelva1.h,
# installed as it is and compiled by C programs (its ZELVA1_VERSION_* are what zelva1_version()
# returns), the Python package, which `pip install ./python` builds without CMake (__version__
# in zelva1/__init__.py, which the wheel's metadata takes), and the Debian packages, whose
# version dpkg takes from the first entry of packaging/debian/changelog. Configuring checks
# that they say the same as the project, so that a release changes the four together.

# The first group of `regex` on the one line of `file` that matches it.
function(zelva_version_in file regex out)
  file(STRINGS "${PROJECT_SOURCE_DIR}/${file}" line REGEX "${regex}")
  string(REGEX REPLACE "${regex}" "\\1" value "${line}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

set(header_parts "")
foreach(part MAJOR MINOR PATCH)
  zelva_version_in(lib/zelva1.h "^#define ZELVA1_VERSION_${part} ([0-9]+)$" value)
  list(APPEND header_parts "${value}")
endforeach()
string(REPLACE ";" "." header_version "${header_parts}")
zelva_version_in(python/zelva1/__init__.py "^__version__ = \"([^\"]*)\"$" python_version)
# Only the first line: the entries below it are the earlier versions.
file(STRINGS "${PROJECT_SOURCE_DIR}/packaging/debian/changelog" changelog_line LIMIT_COUNT 1)
string(REGEX REPLACE "^zelva1-monitor \\(([^)]*)\\) .*$" "\\1" changelog_version
       "${changelog_line}")

foreach(checked "lib/zelva1.h (ZELVA1_VERSION_*)|${header_version}"
                "python/zelva1/__init__.py (__version__)|${python_version}"
                "packaging/debian/changelog (its first line)|${changelog_version}")
  string(REPLACE "|" ";" checked "${checked}")
  list(GET checked 0 where)
  list(GET checked 1 version)
  if(NOT version STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "${where} says version \"${version}\", the project ${PROJECT_VERSION} "
                        "(project(VERSION) in CMakeLists.txt): change them together")
  endif()
endforeach()
