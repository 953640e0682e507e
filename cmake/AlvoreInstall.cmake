# Installing Alvore like any desktop application (`cmake --install`, honouring
# CMAKE_INSTALL_PREFIX and DESTDIR): the program, its desktop entry, its icon as SVG and as PNGs
# rendered from that SVG, its AppStream metadata and its manual page. And the Debian package
# that CPack makes of the same files (scripts/package).
include(GNUInstallDirs)

set(ALVORE_APP_ID com.brindlework.Alvore)
# The day the version in project() was released: the metadata and the manual page carry it.
set(ALVORE_RELEASE_DATE 2026-12-07)
set(ALVORE_PACKAGE_MAINTAINER "Brindlework <alvore@brindlework.com>" CACHE STRING
    "Maintainer named in the Debian package")

set(data_source ${PROJECT_SOURCE_DIR}/data)
set(data_build ${PROJECT_BINARY_DIR}/data)

install(TARGETS alvore RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${data_source}/${ALVORE_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

configure_file(${data_source}/${ALVORE_APP_ID}.metainfo.xml.in
    ${data_build}/${ALVORE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${data_build}/${ALVORE_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

configure_file(${data_source}/alvore.1.in ${data_build}/alvore.1 @ONLY)
add_custom_command(OUTPUT ${data_build}/alvore.1.gz
    COMMAND gzip -9 -n -c ${data_build}/alvore.1 > ${data_build}/alvore.1.gz
    DEPENDS ${data_build}/alvore.1 VERBATIM)
install(FILES ${data_build}/alvore.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The icon: one SVG source, installed as it is and rendered at the theme's usual fixed sizes.
install(FILES ${data_source}/${ALVORE_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
add_executable(alvore_render_icon ${data_source}/render_icon.cpp)
target_link_libraries(alvore_render_icon PRIVATE alvore_options Qt6::Gui Qt6::Svg)
set(icon_commands)
set(icons)
foreach(pixels 16 22 24 32 48 64 128 256 512)
    set(folder ${data_build}/icons/hicolor/${pixels}x${pixels}/apps)
    list(APPEND icons ${folder}/${ALVORE_APP_ID}.png)
    list(APPEND icon_commands
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND alvore_render_icon ${data_source}/${ALVORE_APP_ID}.svg ${pixels}
            ${folder}/${ALVORE_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${icons} ${icon_commands}
    DEPENDS ${data_source}/${ALVORE_APP_ID}.svg alvore_render_icon VERBATIM)
add_custom_target(alvore_data ALL DEPENDS ${icons} ${data_build}/alvore.1.gz)
install(DIRECTORY ${data_build}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The Debian package. Its library dependencies come from dpkg-shlibdeps; the Qt platform
# plugins are loaded at run time, so no library names them and they are listed here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME alvore)
set(CPACK_PACKAGE_VENDOR Brindlework)
set(CPACK_PACKAGE_CONTACT ${ALVORE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sensibo air conditioners in the tray")
set(CPACK_PACKAGE_DESCRIPTION [[
Alvore shows the room temperature of a chosen Sensibo air conditioner in
the tray. A click opens a panel with every unit on the account: room
temperature and humidity, power, mode, target temperature, fan and swing,
timers, presets and the last day of readings.

It signs in with the account's personal API key, which it keeps in the
desktop's keyring through the Secret Service.]])
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The platform plugins for X11 and for Wayland sessions without XWayland.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland")
# The key is kept through the Secret Service; any desktop keyring that offers it will do.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnome-keyring | kwalletmanager | keepassxc")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
