# What `cmake --install` puts where, and the Debian package CPack makes of it
# (scripts/package). The programs find their data folder from where they are
# installed (<prefix>/bin/../share/norix), so any prefix works.
include(GNUInstallDirs)

foreach(program norix-config norix-probe norix-at norix-lfu norix-sim norix-line)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# Manual pages, compressed as Debian keeps them.
find_program(NORIX_GZIP gzip REQUIRED)
set(norix_man_pages norix-config norix-probe norix-at norix-lfu norix-sim norix-line)
set(norix_man_outputs)
foreach(page ${norix_man_pages})
  set(source ${PROJECT_SOURCE_DIR}/doc/man/${page}.1)
  set(output ${PROJECT_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${NORIX_GZIP} -9 -n -c ${source} > ${output}
    DEPENDS ${source}
    COMMENT "Compressing the manual page ${page}.1")
  list(APPEND norix_man_outputs ${output})
endforeach()
add_custom_target(norix_man_pages ALL DEPENDS ${norix_man_outputs})
install(FILES ${norix_man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The menu entry and its icon in the XDG places, for the program with pages.
if(TARGET norix-config)
  install(FILES src/resources/desktop/norix-config.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES src/resources/desktop/norix-config.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The udev rule that keeps ModemManager off the USB products and gives their
# ports to the dialout group. udev reads /usr/lib/udev/rules.d and
# /usr/local/lib/udev/rules.d, so the default follows the prefix.
set(NORIX_UDEV_RULES_DIR "lib/udev/rules.d"
    CACHE STRING "Where the udev rule goes, relative to the prefix or absolute")
install(FILES src/resources/desktop/70-norix-config.rules DESTINATION ${NORIX_UDEV_RULES_DIR})

install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/norix-config)

# The Debian package: `cpack -G DEB` in a build folder (scripts/package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME norix-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "NORIX Config developers")
set(CPACK_PACKAGE_CONTACT "NORIX Config developers <developers@norix-config.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration wizard for NORIX modems and ISDN adapters")
set(CPACK_PACKAGE_DESCRIPTION
    "NORIX Config finds the NORIX modems and ISDN terminal adapters attached to\n"
    "the computer over a serial port, a USB serial port or a PC Card slot,\n"
    "identifies them with AT commands, shows their information, sets their\n"
    "country, tests the line, offers an AT console and a factory reset and\n"
    "upgrades their firmware. Includes the product simulator and the\n"
    "diagnostic tools norix-probe, norix-at and norix-lfu.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link (Qt 6 Core, Gui, Widgets, Svg, ncursesw,
# the C++ runtime) come from dpkg-shlibdeps; Qt's platform plugins are loaded
# at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
include(CPack)
