# cmake --install: the programs in bin, their support tables and help in
# share/telvane (where ProgramFolder looks from bin), a desktop entry with its
# icon, so that the program shows in a desktop's menu, and manual pages of
# the two tools. cpack -G DEB makes a Debian package of the same.
install(TARGETS telvane telvane-cli telvane-boardsim telvane-monitor
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
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
# is (cmake --install --prefix may change it). The manual pages of the tools
# are made from their --help at install time, so that no build runs a
# program; the window program's page, the changelog and the copyright file
# are filled in then too.
set(TELVANE_PACKAGE_CONTACT "TELVANE maintainers <telvane@example.com>"
    CACHE STRING "Maintainer of the Debian package (name <address>)")
find_program(GZIP gzip)
if(GZIP)
  set(man_suffix .1.gz)
  set(gzip_code "foreach(file telvane.1 telvane-cli.1 telvane-boardsim.1 telvane-monitor.1 changelog)
      execute_process(COMMAND \"${GZIP}\" -9nf \"\${out}/\${file}\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()")
else()
  set(man_suffix .1)
  set(gzip_code "")
endif()
install(CODE "
  set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(bindir \"${CMAKE_INSTALL_BINDIR}\")
  set(datadir \"${CMAKE_INSTALL_DATADIR}\")
  foreach(dir bindir datadir)
    if(NOT IS_ABSOLUTE \"\${\${dir}}\")
      set(\${dir} \"\${prefix}/\${\${dir}}\")
    endif()
  endforeach()
  set(TELVANE_EXEC \"\${bindir}/telvane\")
  set(TELVANE_DATADIR \"\${datadir}/telvane\")
  set(PROJECT_VERSION \"${PROJECT_VERSION}\")
  set(TELVANE_PACKAGE_CONTACT \"${TELVANE_PACKAGE_CONTACT}\")
  string(TIMESTAMP TELVANE_DATE \"%Y-%m-%d\" UTC)
  string(TIMESTAMP TELVANE_CHANGELOG_DATE \"%a, %d %b %Y %H:%M:%S +0000\" UTC)
  set(out \"${CMAKE_BINARY_DIR}/package\")
  configure_file(\"${CMAKE_SOURCE_DIR}/desktop/telvane.desktop.in\" \"\${out}/telvane.desktop\" @ONLY)
  configure_file(\"${CMAKE_SOURCE_DIR}/package/telvane.1.in\" \"\${out}/telvane.1\" @ONLY)
  configure_file(\"${CMAKE_SOURCE_DIR}/package/changelog.in\" \"\${out}/changelog\" @ONLY)
  configure_file(\"${CMAKE_SOURCE_DIR}/package/copyright.in\" \"\${out}/copyright\" @ONLY)
  foreach(page
      \"telvane-cli|read and write the cupper controller board's registers from a shell|telvane(1), telvane-boardsim(1)\"
      \"telvane-boardsim|simulated cupper controller board on a pseudo-terminal|telvane(1), telvane-cli(1)\"
      \"telvane-monitor|publish every cupper to the plant's MQTT broker|telvane(1), telvane-cli(1), mosquitto(8)|CONFIGURATION AND TOPICS\")
    string(REPLACE \"|\" \";\" page \"\${page}\")
    list(GET page 0 name)
    list(GET page 1 summary)
    list(GET page 2 see_also)
    set(entries COMMANDS) # the heading of the sections of entries
    list(LENGTH page fields)
    if(fields GREATER 3)
      list(GET page 3 entries)
    endif()
    set(data \"\")
    if(name MATCHES \"^telvane-(cli|monitor)$\") # the simulator reads nothing there
      set(data \"\${TELVANE_DATADIR}\")
    endif()
    execute_process(COMMAND \"${CMAKE_COMMAND}\" -DPROGRAM=${CMAKE_BINARY_DIR}/bin/\${name}
      -DNAME=\${name} \"-DSUMMARY=\${summary}\" -DVERSION=${PROJECT_VERSION}
      \"-DSEE_ALSO=\${see_also}; the help page \${TELVANE_DATADIR}/Help/TELVANE.html\"
      \"-DDATADIR=\${data}\" \"-DENTRIES=\${entries}\" -DOUT=\${out}/\${name}.1
      -P \"${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake\"
      COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  ${gzip_code}
")
set(generated ${CMAKE_BINARY_DIR}/package)
install(FILES ${generated}/telvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${generated}/telvane${man_suffix} ${generated}/telvane-cli${man_suffix}
              ${generated}/telvane-boardsim${man_suffix} ${generated}/telvane-monitor${man_suffix}
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# What Debian asks of every package: its copyright and its changelog.
if(GZIP)
  install(FILES ${generated}/copyright ${generated}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/telvane)
endif()

# telvane-monitor as a service: its systemd unit (not enabled) and an example
# configuration, a conffile of the package. For the system's own prefix
# (/usr) they go where the system looks, /lib/systemd/system and /etc;
# elsewhere below the prefix.
install(CODE "
  if(\"\${CMAKE_INSTALL_PREFIX}\" STREQUAL \"/usr\")
    set(root \"\")
  else()
    set(root \"\${CMAKE_INSTALL_PREFIX}\")
  endif()
  file(INSTALL \"${CMAKE_SOURCE_DIR}/package/telvane-monitor.service\"
       DESTINATION \"\${root}/lib/systemd/system\")
  file(INSTALL \"${CMAKE_SOURCE_DIR}/package/monitor.conf\" DESTINATION \"\${root}/etc/telvane\")
")

# cpack -G DEB: telvane_VERSION_amd64.deb for /usr, its Depends worked out
# from the shared libraries the programs use.
set(CPACK_PACKAGE_NAME telvane)
set(CPACK_PACKAGE_VENDOR "TELVANE")
set(CPACK_PACKAGE_CONTACT "${TELVANE_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set-up and diagnostics for a cupper's controller board")
# The extended description, after the summary that CPack puts first: one
# string (a list would join its lines with ';'), a line holding only '.'
# between paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "TELVANE is the technician's program for the controller board of a cupper,
the press that draws cups in can making. Over the board's RS-232 link it
shows the machine live (speed, position, strokes, die jams, alarms, I/O),
edits the set-up parameters on the board or offline, programs the PLS timing
channels and the resolver offset, keeps set-ups in .sdt files, reads faults
with their corrective actions, downloads programs and prints a report.

The package also holds telvane-cli, which does the same from scripts and
shells; telvane-monitor, a service that publishes every press of a plant to
its MQTT broker; and telvane-boardsim, a simulated board to try TELVANE
without a machine.")
# The install runs with the package's own prefix (the desktop entry names it).
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window system plug-ins and the SQLite driver (of the set-up
# history, and of the monitor's queue) at run time: no library names them.
# The report is laid out for Liberation Serif, which it asks for by name. The
# monitor's service user is made with adduser.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite, fonts-liberation2, adduser")
# The monitor's example configuration is the administrator's to change, and
# its service has a user of its own.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${CMAKE_SOURCE_DIR}/package/conffiles;${CMAKE_SOURCE_DIR}/package/postinst")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
