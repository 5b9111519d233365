# The Debian package: cpack -G DEB (scripts/package.sh). dpkg-shlibdeps works out Depends from
# the programs' libraries; the menus, file types and icon caches of the system are refreshed by
# the triggers of the packages that own them, so the package needs no scripts of its own.
set(doc ${CMAKE_INSTALL_DATADIR}/doc/vennhald)
install(FILES deb/copyright DESTINATION ${doc})
# Debian wants a compressed change log, made reproducibly (no name or time in the gzip header).
if(KX_GZIP)
    configure_file(deb/changelog.in changelog @ONLY)
    set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
    add_custom_command(OUTPUT ${changelog}
                       COMMAND ${KX_GZIP} -9nkf ${CMAKE_CURRENT_BINARY_DIR}/changelog
                       DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog VERBATIM)
    add_custom_target(kx_changelog ALL DEPENDS ${changelog})
    install(FILES ${changelog} DESTINATION ${doc})
endif()

set(CPACK_PACKAGE_NAME vennhald)
set(CPACK_PACKAGE_VENDOR Vennhald)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and search tool for Korvex schematic data files")
set(CPACK_PACKAGE_DESCRIPTION
    "Pelm edits the component libraries (.KM2) of the Korvex schematic-capture
suite. Delvix searches a folder tree of Korvex schematics (.KX2) for tags,
labels, comments and component fields; kxview shows the schematics and the
hits clicked in Delvix. pelm-cli and delvix-cli read, convert and search the
same files from the command line.")
set(CPACK_PACKAGE_CONTACT "Vennhald developers <dev@vennhald.invalid>")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# The built package's file list and Depends (the test is skipped until cpack has run).
add_test(NAME package.deb
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-package.sh ${CMAKE_BINARY_DIR})
set_tests_properties(package.deb PROPERTIES LABELS unit SKIP_RETURN_CODE 77)
