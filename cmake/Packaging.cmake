# What a user downloads, made by CPack from a Release tree (scripts/package):
# on Windows a zip to unpack and double-click, on Linux a Debian package.
# Everything takes its version from project().
set(packaging_dir ${CMAKE_SOURCE_DIR}/packaging)

set(CPACK_PACKAGE_NAME tessaline)
set(CPACK_PACKAGE_VENDOR "Tessaline")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop pictures and a launcher in the system tray")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # One folder: the programs, the user's README, the licences of the
  # libraries linked into them, and the example's settings and pictures
  # beside the program, so that a double click on it shows them.
  install(TARGETS tessaline tessaline-check RUNTIME DESTINATION .)
  configure_file(${packaging_dir}/windows/README.txt.in ${CMAKE_BINARY_DIR}/packaging/README.txt
                 @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION .)
  foreach(notice LICENSE NOTICE)
    install(FILES ${TESSALINE_XERCES_ROOT}/share/doc/xerces-c/${notice}
            DESTINATION . RENAME xerces-c-${notice}.txt)
  endforeach()
  # The cross compiler's runtime is linked in too: winpthreads and the C
  # runtime's start-up code (mingw-w64), libgcc and libstdc++ (GCC, with its
  # Runtime Library Exception). Their notices are those of the Debian
  # packages that built the programs.
  install(FILES /usr/share/doc/mingw-w64-common/copyright DESTINATION . RENAME mingw-w64-LICENSE.txt)
  install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright DESTINATION . RENAME gcc-LICENSE.txt)
  install(FILES ${CMAKE_SOURCE_DIR}/examples/config.xml DESTINATION .)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION .
          FILES_MATCHING PATTERN "*.png" PATTERN linux EXCLUDE)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME tessaline-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR})
  include(CPack)
  return()
endif()

include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tessaline developers <tessaline@example.org>")
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tessaline)
set(staged ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS tessaline tessaline-check RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The icon theme's copy of GAMEICON, the compressed manual pages and
# changelog that Debian wants, and the Linux example made self-contained:
# its pictures live one folder up in the source tree, and the installed
# folder holds them beside config.xml, so the program's first start from
# the menu copies it whole into ~/.config/tessaline. The build tree holds it
# where the installed program looks for it, share/tessaline/example beside
# bin, so the program built here finds it too. Not under /usr/share/doc,
# which minimal systems leave out (dpkg's path-exclude).
configure_file(${packaging_dir}/linux/changelog.in ${staged}/changelog @ONLY)
configure_file(${packaging_dir}/linux/tessaline.1 ${staged}/tessaline.1 @ONLY)
configure_file(${packaging_dir}/linux/tessaline-check.1 ${staged}/tessaline-check.1 @ONLY)
set(example_dir ${CMAKE_BINARY_DIR}/share/tessaline/example)
file(READ ${CMAKE_SOURCE_DIR}/examples/linux/config.xml example)
string(REPLACE "path=\"../" "path=\"" example "${example}")
file(CONFIGURE OUTPUT ${example_dir}/config.xml CONTENT "${example}" @ONLY)
file(GLOB example_pictures ${CMAKE_SOURCE_DIR}/examples/*.png)
file(COPY ${example_pictures} ${CMAKE_SOURCE_DIR}/examples/linux/README.txt DESTINATION ${example_dir})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/linux/config.xml
             ${CMAKE_SOURCE_DIR}/examples/linux/README.txt ${example_pictures})

find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(GZIP gzip REQUIRED)
set(compressed)
foreach(file changelog tessaline.1 tessaline-check.1)
  # -n: no name or time stamp in the header, so the package is reproducible.
  add_custom_command(OUTPUT ${staged}/${file}.gz
                     COMMAND ${GZIP} -9nc ${staged}/${file} > ${staged}/${file}.gz
                     DEPENDS ${staged}/${file})
  list(APPEND compressed ${staged}/${file}.gz)
endforeach()
add_custom_command(OUTPUT ${staged}/tessaline.png
                   COMMAND Python3::Interpreter ${packaging_dir}/linux/icon-png.py
                           ${CMAKE_SOURCE_DIR}/src/resources/GAMEICON.ico ${staged}/tessaline.png
                   DEPENDS ${packaging_dir}/linux/icon-png.py ${CMAKE_SOURCE_DIR}/src/resources/GAMEICON.ico)
add_custom_target(package_files ALL DEPENDS ${compressed} ${staged}/tessaline.png)

install(FILES ${staged}/tessaline.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
install(FILES ${packaging_dir}/linux/tessaline.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# Not in /etc/xdg/autostart: that would start it for every user. A user
# copies this entry into ~/.config/autostart.
install(FILES ${packaging_dir}/linux/tessaline-autostart.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tessaline/autostart RENAME tessaline.desktop)
install(FILES ${staged}/tessaline.1.gz ${staged}/tessaline-check.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${staged}/changelog.gz ${packaging_dir}/linux/copyright DESTINATION ${doc_dir})
# The programs hold Xerces-C, linked statically (cmake/LinuxBuild.cmake):
# its licence and notice go beside the package's copyright, as in the
# Windows zip.
foreach(notice LICENSE NOTICE)
  install(FILES ${TESSALINE_XERCES_ROOT}/share/doc/xerces-c/${notice}
          DESTINATION ${doc_dir} RENAME xerces-c-${notice})
endforeach()
install(DIRECTORY ${example_dir} DESTINATION ${CMAKE_INSTALL_DATADIR}/tessaline)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The synopsis line is CPACK_PACKAGE_DESCRIPTION_SUMMARY.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tessaline shows pictures on an X11 or Wayland desktop as borderless
windows with soft edges that can be dragged, and puts an icon in the system
tray with a menu of programs, files, folders and web pages to open. A
settings file, config.xml, says what it shows; tessaline-check checks such
a file.")
include(CPack)
