# The Debian package: the program in /usr/bin; its resources, player and sample in
# /usr/share/tavrin (seeded into each user's data folder on the first start); the desktop
# entry, icons and AppStream metainfo where desktops look for them.
include(GNUInstallDirs)
install(TARGETS tavrin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The browser engine's module, loaded from ../lib/tavrin beside the program.
install(TARGETS tavrin_web tavrin_omr_module LIBRARY DESTINATION lib/tavrin)
set(share ${CMAKE_INSTALL_DATADIR}/tavrin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/ DESTINATION ${share}/Resources
        PATTERN player EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/player/ DESTINATION ${share}/Resources)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/dist/Zar DESTINATION ${share})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/dist/catalogue/ DESTINATION ${share})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.tavrin.Tavrin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.tavrin.Tavrin.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/tavrin.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/tavrin-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tavrin.png)
endforeach()
set(doc ${CMAKE_INSTALL_DATADIR}/doc/tavrin)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${doc})
# Debian wants the changelog and the manual page compressed, without a time stamp in them.
set(changelog_gz ${CMAKE_BINARY_DIR}/changelog.gz)
set(manual_gz ${CMAKE_BINARY_DIR}/tavrin.1.gz)
add_custom_command(OUTPUT ${changelog_gz} ${manual_gz}
  COMMAND gzip -9 -n -c ${CMAKE_CURRENT_LIST_DIR}/changelog > ${changelog_gz}
  COMMAND gzip -9 -n -c ${CMAKE_CURRENT_LIST_DIR}/tavrin.1 > ${manual_gz}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog ${CMAKE_CURRENT_LIST_DIR}/tavrin.1)
add_custom_target(debian_docs ALL DEPENDS ${changelog_gz} ${manual_gz})
install(FILES ${changelog_gz} DESTINATION ${doc})
install(FILES ${manual_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VERSION 1.1.90)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tavrin developers <tavrin@example.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libzip and qrencode are loaded when first used, so the linker does not name them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-core, libzip4, libqrencode4")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "chromium | firefox-esr, qt6-translations-l10n")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "authoring tool for Persian exam CDs")
set(CPACK_PACKAGE_DESCRIPTION "A catalogue of projects, their fields of study and lessons;
questions, answers and explanations filed from lesson texts (text, RTF,
Word); quiz files; and a complete CD folder with a player that runs in any
browser, checked and made into a disc image.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
