# Everything particular to the native Linux build. Included by the
# top-level CMakeLists.txt before the libraries and the program are added.

# Xerces-C is linked statically from the prefix made by
# scripts/build-xerces linux: built without its network code (the settings
# parser never fetches a URL), so the program loads neither libcurl with its
# TLS and directory libraries nor a shared Xerces-C. It still transcodes
# with the system's ICU, whose local code page is UTF-8 whatever the locale,
# as the layer's ANSI code page is; iconv's would follow LANG.
if(DEFINED ENV{TESSALINE_XERCES_PREFIX})
  set(tessaline_xerces_default $ENV{TESSALINE_XERCES_PREFIX})
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(tessaline_xerces_default $ENV{XDG_CACHE_HOME}/tessaline/xerces-linux)
else()
  set(tessaline_xerces_default $ENV{HOME}/.cache/tessaline/xerces-linux)
endif()
set(TESSALINE_XERCES_ROOT ${tessaline_xerces_default} CACHE PATH
    "Install prefix of the static Linux Xerces-C")

set(tessaline_xerces_library ${TESSALINE_XERCES_ROOT}/lib/libxerces-c.a)
if(NOT EXISTS ${tessaline_xerces_library})
  message(FATAL_ERROR
    "No static Xerces-C for Linux in ${TESSALINE_XERCES_ROOT}.\n"
    "Build it with: scripts/build-xerces linux\n"
    "(or pass -DTESSALINE_XERCES_ROOT=<prefix>).")
endif()

# A tree configured when the program took the system's shared Xerces-C
# still has it in its cache: forget it, so the search below finds the
# static one.
string(FIND "${XercesC_LIBRARY_RELEASE}" "${TESSALINE_XERCES_ROOT}/" tessaline_xerces_place)
if(DEFINED CACHE{XercesC_LIBRARY_RELEASE} AND NOT tessaline_xerces_place EQUAL 0)
  foreach(variable XercesC_INCLUDE_DIR XercesC_LIBRARY_RELEASE XercesC_LIBRARY_DEBUG)
    unset(${variable} CACHE)
  endforeach()
endif()

# Only the prefix: the system's libxerces-c, when installed, is never taken.
set(XercesC_ROOT ${TESSALINE_XERCES_ROOT})
find_package(XercesC REQUIRED)
if(NOT XercesC_LIBRARY STREQUAL tessaline_xerces_library)
  message(FATAL_ERROR "Xerces-C was found at ${XercesC_LIBRARY}, not ${tessaline_xerces_library}")
endif()
# What the static library needs of its own; later find_package(XercesC)
# calls keep this target.
find_package(ICU REQUIRED COMPONENTS uc data)
find_package(Threads REQUIRED)
set_property(TARGET XercesC::XercesC APPEND PROPERTY INTERFACE_LINK_LIBRARIES ICU::uc ICU::data Threads::Threads)
