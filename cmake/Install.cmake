# Installation in the usual places (/usr/bin, /usr/share/quelm/help, the desktop entry, icons, metainfo, man page)
# and the Debian package: `cmake --build build --target package` makes build/quelm_<version>_<arch>.deb.
include(GNUInstallDirs)

# Relocations resolved at start and then made read-only, as Debian's hardened programs are linked.
target_link_options(quelm PRIVATE "LINKER:-z,relro" "LINKER:-z,now")
install(TARGETS quelm RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
target_link_options(quelm-mdbreader PRIVATE "LINKER:-z,relro" "LINKER:-z,now")
install(TARGETS quelm-mdbreader RUNTIME DESTINATION ${QUELM_MDBREADER_INSTALL_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quelm/help)
install(FILES ${CMAKE_SOURCE_DIR}/dist/jp.quelm.Quelm.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/jp.quelm.Quelm.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/dist/icons/quelm.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/dist/icons/quelm-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME quelm.png)
endforeach()
# Debian keeps man pages compressed.
find_program(GZIP_PROGRAM gzip REQUIRED)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/quelm.1.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_SOURCE_DIR}/dist/quelm.1 > ${CMAKE_BINARY_DIR}/quelm.1.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/dist/quelm.1)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_SOURCE_DIR}/dist/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/dist/changelog)
add_custom_target(quelm_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/quelm.1.gz ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/quelm.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quelm)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quelm)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quelm developers <developers@quelm.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue of a private collection of music CDs and video DVDs")
set(CPACK_PACKAGE_DESCRIPTION "A desktop catalogue with a Japanese user interface: up to six
categories of discs, one record per disc with its tracks as sub records,
pictures, pick lists, searches, printed lists and CD-case inserts, CDDB
and CSV imports, CSV export, backups and statistics.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's platform plugins and Japanese glyphs are not found by shlibdeps; the input-method plugin for ibus comes with
# Qt's GUI library, the one for fcitx5 is recommended.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fcitx5-frontend-qt6 | ibus")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
