# The Debian package: `cmake --build build --target package` makes build/zor-cnc_<version>_<arch>.deb
# with both programs, the examples, the menu entries, the manual pages and the lp group's
# real-time limit. Its dependencies are the shared libraries the programs link, as
# dpkg-shlibdeps finds them.
include(GNUInstallDirs)

set(ZOR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/zor-cnc)
set(ZOR_GENERATED ${CMAKE_CURRENT_BINARY_DIR}/packaging)

# Debian keeps manual pages and changelogs compressed, without a time stamp in the gzip header
# so that the same sources give the same package.
set(ZOR_COMPRESSED)
foreach(page zor-cnc.1 zor-cnc-run.1)
  configure_file(packaging/man/${page} ${ZOR_GENERATED}/${page} @ONLY)
endforeach()
configure_file(packaging/changelog.in ${ZOR_GENERATED}/changelog @ONLY)
foreach(file zor-cnc.1 zor-cnc-run.1 changelog)
  add_custom_command(OUTPUT ${ZOR_GENERATED}/${file}.gz
                     COMMAND gzip -9n -c ${ZOR_GENERATED}/${file} > ${ZOR_GENERATED}/${file}.gz
                     DEPENDS ${ZOR_GENERATED}/${file} VERBATIM)
  list(APPEND ZOR_COMPRESSED ${ZOR_GENERATED}/${file}.gz)
endforeach()
add_custom_target(package_files ALL DEPENDS ${ZOR_COMPRESSED})

install(TARGETS zor-cnc-run RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ZOR_GENERATED}/zor-cnc-run.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(ZOR_GUI)
  install(TARGETS zor-cnc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${ZOR_GENERATED}/zor-cnc.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES packaging/zor-cnc.desktop packaging/zor-cnc-simulate.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/zor-cnc.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(FILES examples/README.md examples/square.dxf examples/holes.dxf examples/board.gbr
              examples/holes.drl
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zor-cnc/examples)
install(FILES packaging/copyright ${ZOR_GENERATED}/changelog.gz DESTINATION ${ZOR_DOC_DIR})
install(FILES packaging/limits.conf DESTINATION /etc/security/limits.d RENAME zor-cnc.conf)
install(FILES packaging/modules-load.conf DESTINATION /etc/modules-load.d RENAME zor-cnc.conf)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zor-cnc)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ZOR-cnc developers <zor-cnc@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control program of a home-built pen plotter and PCB driller")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "ZOR-cnc drives a small three-axis machine, a pen plotter and PCB driller,\n"
  "through the PC's parallel port: it draws DXF drawings and Gerber files and\n"
  "drills DXF points and drill files. The window zor-cnc also runs on a\n"
  "built-in virtual machine. zor-cnc-run runs one job without windows and\n"
  "reports what the motors did.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts the texts are lettered with are data, which dpkg-shlibdeps cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS hershey-fonts-data)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_SOURCE_DIR}/packaging/postinst ${CMAKE_CURRENT_SOURCE_DIR}/packaging/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_CURRENT_BINARY_DIR})
include(CPack)
