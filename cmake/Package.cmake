# The Debian package (scripts/package): the program and quenra-catalog in /usr/bin, the working-folder
# template with its skins in /usr/share/quenra-assistant (an installed copy's working folder is made
# from it in the user's data folder), a desktop entry with its icon.
# The program file under an ASCII name, since CPack reads the files' types with LC_ALL=C and cannot
# name a file "Quenra小助手" back to dpkg-shlibdeps; the program's own name is a link to it.
install(PROGRAMS $<TARGET_FILE:quenra_assistant> DESTINATION bin RENAME quenra-assistant)
file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/packaging")
file(CREATE_LINK quenra-assistant "${PROJECT_BINARY_DIR}/packaging/Quenra小助手" SYMBOLIC)
install(FILES "${PROJECT_BINARY_DIR}/packaging/Quenra小助手" DESTINATION bin)
install(TARGETS quenra-catalog RUNTIME DESTINATION bin)
install(DIRECTORY data/Dravonel DESTINATION share/quenra-assistant)
install(FILES packaging/quenra-assistant.desktop DESTINATION share/applications)
install(FILES packaging/quenra-assistant.svg DESTINATION share/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quenra-assistant)
set(CPACK_PACKAGE_VENDOR "Quenra小助手开发组")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quenra小助手: third-party library manager for the Quenra IDE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quenra小助手开发组 <noreply@example.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# The runtime libraries as dpkg-shlibdeps finds them; Qt's own Chinese translations by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
include(CPack)
