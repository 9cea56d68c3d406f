# Cross toolchain for 64-bit Windows with MinGW-w64: the build that runs
# under Wine on machines without 32-bit support.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSALINE_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWToolchain.cmake)
