# cmake --install: the programs in bin, their support tables and help in
# share/telvane (where ProgramFolder looks from bin), a desktop entry with its
# icon, so that the program shows in a desktop's menu, and manual pages of
# the two tools. cpack -G DEB makes a Debian package of the same.
install(TARGETS telvane telvane-cli telvane-boardsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/support ${CMAKE_SOURCE_DIR}/Help
        DESTINATION ${CMAKE_INSTALL_DATADIR}/telvane)
install(FILES ${CMAKE_SOURCE_DIR}/desktop/telvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Desktops that draw no SVG take the PNG of the size they need.
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/desktop/icons/telvane-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME telvane.png)
endforeach()

# The entry starts the program by its full path, known only once the prefix
# is (cmake --install --prefix may change it). The manual pages are made from
# the tools' --help at install time, so that no build runs a program.
find_program(GZIP gzip)
if(GZIP)
  set(man_suffix .1.gz)
  set(man_gzip "execute_process(COMMAND \"${GZIP}\" -9nf ${CMAKE_BINARY_DIR}/man/\${name}.1
                    COMMAND_ERROR_IS_FATAL ANY)")
else()
  set(man_suffix .1)
  set(man_gzip "")
endif()
install(CODE "
  set(bindir \"${CMAKE_INSTALL_BINDIR}\")
  if(NOT IS_ABSOLUTE \"\${bindir}\")
    set(bindir \"\${CMAKE_INSTALL_PREFIX}/\${bindir}\")
  endif()
  set(TELVANE_EXEC \"\${bindir}/telvane\")
  configure_file(\"${CMAKE_SOURCE_DIR}/desktop/telvane.desktop.in\"
                 \"${CMAKE_BINARY_DIR}/desktop/telvane.desktop\" @ONLY)
  foreach(page \"telvane-cli|read and write the cupper controller board's registers from a shell\"
               \"telvane-boardsim|simulated cupper controller board on a pseudo-terminal\")
    string(REPLACE \"|\" \";\" page \"\${page}\")
    list(GET page 0 name)
    list(GET page 1 summary)
    execute_process(COMMAND \"${CMAKE_COMMAND}\" -DPROGRAM=${CMAKE_BINARY_DIR}/bin/\${name}
      -DNAME=\${name} \"-DSUMMARY=\${summary}\" -DVERSION=${PROJECT_VERSION}
      -DOUT=${CMAKE_BINARY_DIR}/man/\${name}.1 -P \"${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake\"
      COMMAND_ERROR_IS_FATAL ANY)
    ${man_gzip}
  endforeach()
")
install(FILES ${CMAKE_BINARY_DIR}/desktop/telvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/man/telvane-cli${man_suffix}
              ${CMAKE_BINARY_DIR}/man/telvane-boardsim${man_suffix}
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# cpack -G DEB: telvane_VERSION_amd64.deb for /usr, its Depends worked out
# from the shared libraries the programs use.
set(CPACK_PACKAGE_NAME telvane)
set(CPACK_PACKAGE_VENDOR "TELVANE")
set(CPACK_PACKAGE_CONTACT "TELVANE maintainers <telvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Set-up and diagnostics for a cupper's controller board")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Set-up and diagnostics for a cupper's controller board\n"
    "TELVANE talks to the controller board of a cupper (a press in can making)\n"
    "over RS-232: live machine display and alarms, set-up parameters, PLS timing,\n"
    "set-up data files, faults and program download. With telvane-cli for\n"
    "scripts and telvane-boardsim, a simulated board to try it without a machine.")
# The install runs with the package's own prefix (the desktop entry names it).
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window system plug-ins at run time: no library names them.
# The report is laid out for Liberation Serif, which it asks for by name.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2")
include(CPack)
