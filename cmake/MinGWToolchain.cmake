# Shared part of the MinGW-w64 cross toolchains. The including file sets
# TESSALINE_MINGW_TRIPLET (i686-w64-mingw32 or x86_64-w64-mingw32) and
# CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)

# The -posix compilers: their libstdc++ has std::thread and friends on top
# of winpthread, which the build links statically like libgcc and libstdc++.
set(CMAKE_C_COMPILER ${TESSALINE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSALINE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSALINE_MINGW_TRIPLET}-windres)

# Xerces-C is cross-built by scripts/build-xerces-windows into a cache
# outside the build tree; both places must agree on where.
if(DEFINED ENV{TESSALINE_XERCES_PREFIX})
  set(tessaline_xerces_default $ENV{TESSALINE_XERCES_PREFIX})
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(tessaline_xerces_default $ENV{XDG_CACHE_HOME}/tessaline/xerces-${CMAKE_SYSTEM_PROCESSOR})
else()
  set(tessaline_xerces_default $ENV{HOME}/.cache/tessaline/xerces-${CMAKE_SYSTEM_PROCESSOR})
endif()
set(TESSALINE_XERCES_ROOT ${tessaline_xerces_default} CACHE PATH
    "Install prefix of the statically cross-built Xerces-C")

set(CMAKE_FIND_ROOT_PATH /usr/${TESSALINE_MINGW_TRIPLET} ${TESSALINE_XERCES_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# try_compile projects re-read this file; keep the prefix they see the same.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TESSALINE_XERCES_ROOT)
