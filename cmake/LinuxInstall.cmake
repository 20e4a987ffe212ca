# Installation under a prefix (make install) and the Debian package (make deb); the icon and the
# AppStream data are installed from res/linux, where they are made. The programs go to
# bin; the language tables to a folder of their own that the program finds from its bin folder
# (QUILLFEN_SHIPPED_DATA_DIR) and copies into the user's folder on first use, since an installed
# program folder is not writable. The downloader needs no file: the program carries it.
set(language_source ${PROJECT_SOURCE_DIR}/res/Language)
set(linux_source ${PROJECT_SOURCE_DIR}/res/linux)
file(GLOB shipped_tables CONFIGURE_DEPENDS ${language_source}/*.ini)

install(TARGETS quillfen quillfen-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${shipped_tables} DESTINATION ${QUILLFEN_INSTALL_DATADIR}/Language)

install(FILES ${linux_source}/org.quillfen.Quillfen.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

install(FILES ${linux_source}/quillfen.1 ${linux_source}/quillfen-cli.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Where each shell looks for the completions of programs under this prefix. Debian's zsh reads
# /usr/share/zsh/vendor-completions for packages and <prefix>/share/zsh/site-functions otherwise.
set(completions ${linux_source}/completions)
install(FILES ${completions}/quillfen-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME quillfen-cli)
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(zsh_folder ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
else()
    set(zsh_folder ${CMAKE_INSTALL_DATADIR}/zsh/site-functions)
endif()
install(FILES ${completions}/_quillfen-cli DESTINATION ${zsh_folder})
install(FILES ${completions}/quillfen-cli.fish
        DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)

# The Debian package: cpack -G DEB in the build folder, installing under /usr.
set(CPACK_PACKAGE_NAME quillfen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quillfen developers")
set(CPACK_PACKAGE_CONTACT "Quillfen <translations@quillfen.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "find files by name, date, size and content, and find duplicates")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillfen finds files by all or part of their name, under one folder or on every mounted\n"
    "file system, and narrows the search by date, size and content (text in its 8-bit, UTF-16\n"
    "and UTF-8 forms, or bytes). It also finds every duplicate of a file. quillfen-cli runs the\n"
    "same searches without a window.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What dpkg-shlibdeps cannot see: the Qt plugins for the window system and the SVG icon, the icon
# theme the file types are drawn from, their MIME database, and xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6svg6, adwaita-icon-theme, hicolor-icon-theme, shared-mime-info, xdg-utils")
set(CPACK_GENERATOR DEB)
include(CPack)
