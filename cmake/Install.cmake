# cmake --install: the programs in bin, their support tables and help in
# share/telvane (where ProgramFolder looks from bin), and a desktop entry with
# its icon, so that the program shows in a desktop's menu.
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
# is (cmake --install --prefix may change it).
install(CODE "
  set(bindir \"${CMAKE_INSTALL_BINDIR}\")
  if(NOT IS_ABSOLUTE \"\${bindir}\")
    set(bindir \"\${CMAKE_INSTALL_PREFIX}/\${bindir}\")
  endif()
  set(TELVANE_EXEC \"\${bindir}/telvane\")
  configure_file(\"${CMAKE_SOURCE_DIR}/desktop/telvane.desktop.in\"
                 \"${CMAKE_BINARY_DIR}/desktop/telvane.desktop\" @ONLY)
")
install(FILES ${CMAKE_BINARY_DIR}/desktop/telvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
