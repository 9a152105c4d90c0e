# What `cmake --install` puts on a technician's laptop, and the Debian package made of it.
include(GNUInstallDirs)

install(TARGETS korvex quillan qvrsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quillan-flash)
  install(TARGETS quillan-flash RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES packaging/korvex.desktop packaging/quillan.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The programs look for their guide beside them, in ../share/korvex-quillan/guide.
install(DIRECTORY docs/guide/ DESTINATION ${CMAKE_INSTALL_DATADIR}/korvex-quillan/guide)
# Man pages go in compressed, as man-db and Debian expect them.
file(GLOB QVR_MAN_PAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/*.1)
set(QVR_MAN_GZ)
foreach(page ${QVR_MAN_PAGES})
  get_filename_component(name ${page} NAME)
  set(gz ${CMAKE_BINARY_DIR}/share/man/man1/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/share/man/man1
    COMMAND gzip -9nc ${page} > ${gz}
    DEPENDS ${page}
    VERBATIM)
  list(APPEND QVR_MAN_GZ ${gz})
endforeach()
add_custom_target(qvr_man ALL DEPENDS ${QVR_MAN_GZ})
install(FILES ${QVR_MAN_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvex-quillan)
set(CPACK_PACKAGE_VENDOR "Vantrel")
set(CPACK_PACKAGE_CONTACT "Vantrel service software <service@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Service software for stabilised satellite antennas: Korvex remote panel, Quillan programming terminal, qvrsim")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Qt libraries are found by dpkg-shlibdeps; the platform plugins are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
include(CPack)
