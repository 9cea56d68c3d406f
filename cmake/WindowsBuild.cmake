# Everything particular to the Windows build (MinGW-w64 cross compiler).
# Included by the top-level CMakeLists.txt before the libraries and the
# program are added.

# GoogleTest from Debian's sources, built with the cross compiler so the
# conformance tests and the Wine driver run as Windows programs. It comes
# first, before the program's own flags below.
include(${CMAKE_CURRENT_LIST_DIR}/MinGWGoogleTest.cmake)

# The program's messages are Japanese and shown through the A functions, so
# they are stored in the ANSI code page 932. The sources are UTF-8.
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-fexec-charset=CP932>)

# Vista-level headers: Shell_NotifyIconA is given the full-size
# NOTIFYICONDATAA (508 bytes on i686), as the program's tray code expects.
add_compile_definitions(_WIN32_WINNT=0x0600 WINVER=0x0600)

# One self-contained executable: libgcc, libstdc++ and winpthread go in
# statically, so only system DLLs are imported.
add_link_options(-static -static-libgcc -static-libstdc++)
# The product carries no debug sections: they would hold the build
# machine's paths and make it several times larger.
add_link_options($<$<CONFIG:Release>:-s>)

# Xerces-C is linked statically from the prefix made by
# scripts/build-xerces-windows. Its generated configuration header already
# defines XERCES_STATIC_LIBRARY for such a build; defining it here as well
# keeps every user on the static (non-dllimport) declarations even if the
# headers come from elsewhere.
if(NOT EXISTS ${TESSALINE_XERCES_ROOT}/lib/libxerces-c.a)
  message(FATAL_ERROR
    "No static Xerces-C for ${CMAKE_SYSTEM_PROCESSOR} in ${TESSALINE_XERCES_ROOT}.\n"
    "Build it with: scripts/build-xerces-windows ${CMAKE_SYSTEM_PROCESSOR}\n"
    "(or pass -DTESSALINE_XERCES_ROOT=<prefix>).")
endif()
add_compile_definitions(XERCES_STATIC_LIBRARY)
set(XercesC_ROOT ${TESSALINE_XERCES_ROOT})

# Checks of the Win32 record sizes the program relies on; compiled into the
# program only (see WindowsChecks.cpp).
add_library(windows_checks OBJECT ${CMAKE_CURRENT_LIST_DIR}/WindowsChecks.cpp)

# The Wine driver, the program its launcher scenarios open, the small tool
# the demo uses to end the program, and the version reader of the package
# test are Windows programs too; the Linux side runs them under Wine.
add_subdirectory(${CMAKE_SOURCE_DIR}/tests/windows/control ${CMAKE_BINARY_DIR}/tests/windows/control)
add_subdirectory(${CMAKE_SOURCE_DIR}/tests/windows/version ${CMAKE_BINARY_DIR}/tests/windows/version)
if(TESSALINE_TESTS)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/windows/driver ${CMAKE_BINARY_DIR}/tests/windows/driver)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/windows/marker ${CMAKE_BINARY_DIR}/tests/windows/marker)
endif()

# Run once the whole tree is read: the checks join the program, and
# "wine_test_programs" builds whichever test programs the tree has.
function(tessaline_finish_windows_build)
  target_sources(tessaline PRIVATE $<TARGET_OBJECTS:windows_checks>)
  add_custom_target(wine_test_programs)
  foreach(program IN ITEMS platform_tests checker_tests tessaline_driver marker window_control version_info)
    if(TARGET ${program})
      add_dependencies(wine_test_programs ${program})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER CALL tessaline_finish_windows_build)
