# Installation under a prefix (make install) and the Debian package (make deb); the icon and the
# AppStream data are installed from res/linux, where they are made. The programs go to
# bin; the language tables to a folder of their own that the program finds from its bin folder
# (QUILLFEN_SHIPPED_DATA_DIR) and copies into the user's folder on first use, since an installed
# program folder is not writable. The downloader needs no file: the program carries it.
set(language_source ${PROJECT_SOURCE_DIR}/res/Language)
set(linux_source ${PROJECT_SOURCE_DIR}/res/linux)
file(GLOB shipped_tables CONFIGURE_DEPENDS ${language_source}/*.ini)

install(TARGETS quillfen quillfen-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The modules that quillfen-cli loads on first use, in the folder it looks in from its bin folder
# (QUILLFEN_MODULE_DIR); not a folder of the library path, since no other program links them.
install(TARGETS quillfen-icu quillfen-mime LIBRARY DESTINATION ${QUILLFEN_INSTALL_MODULEDIR})
install(FILES ${shipped_tables} DESTINATION ${QUILLFEN_INSTALL_DATADIR}/Language)

install(FILES ${linux_source}/org.quillfen.Quillfen.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# Manual pages and the changelog are installed compressed as Debian's policy asks (gzip -9n: no
# name and no time inside, so that the same sources make the same package).
set(compressed_folder ${CMAKE_BINARY_DIR}/compressed)
#   quillfen_compressed(SOURCE NAME OUTPUT_VARIABLE): SOURCE copied as NAME and gzipped.
function(quillfen_compressed source name output_variable)
    set(output ${compressed_folder}/${name}.gz)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${compressed_folder}/${name}
        COMMAND gzip -9nf ${compressed_folder}/${name}
        DEPENDS ${source}
        COMMENT "Compressing ${name}")
    set(${output_variable} ${output} PARENT_SCOPE)
endfunction()
quillfen_compressed(${linux_source}/quillfen.1 quillfen.1 program_page)
quillfen_compressed(${linux_source}/quillfen-cli.1 quillfen-cli.1 cli_page)
install(FILES ${program_page} ${cli_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The package is native (its version has no Debian revision: the project packages itself), so its
# changelog, in Debian's format, is changelog.gz rather than changelog.Debian.gz. Its entry
# carries the release day (the version's last part, YYYYMMDD) in RFC 5322
# form, whose weekday comes from Zeller's congruence.
string(REGEX MATCH "^([0-9][0-9][0-9][0-9])([0-9][0-9])([0-9][0-9])$" release_day
       "${PROJECT_VERSION_TWEAK}")
if(NOT release_day)
    message(FATAL_ERROR "The version's last part ${PROJECT_VERSION_TWEAK} is no YYYYMMDD date")
endif()
set(year ${CMAKE_MATCH_1})
math(EXPR month "${CMAKE_MATCH_2}")
math(EXPR day "${CMAKE_MATCH_3}")
set(zeller_year ${year})
set(zeller_month ${month})
if(month LESS 3)
    math(EXPR zeller_year "${year} - 1")
    math(EXPR zeller_month "${month} + 12")
endif()
math(EXPR weekday "(${day} + (13 * (${zeller_month} + 1)) / 5 + ${zeller_year} + ${zeller_year} / 4 - ${zeller_year} / 100 + ${zeller_year} / 400) % 7")
set(weekday_names Sat Sun Mon Tue Wed Thu Fri)
set(month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(GET weekday_names ${weekday} weekday_name)
math(EXPR month_index "${month} - 1")
list(GET month_names ${month_index} month_name)
set(QUILLFEN_CHANGELOG_DATE "${weekday_name}, ${day} ${month_name} ${year} 00:00:00 +0000")
configure_file(${linux_source}/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
quillfen_compressed(${CMAKE_BINARY_DIR}/changelog changelog changelog)
add_custom_target(quillfen_compressed_documents ALL DEPENDS ${program_page} ${cli_page}
                                                            ${changelog})

# The licence, in Debian's machine-readable form with the licences of what the Windows programs
# link statically, and the changelog. The folder is named after the package, not the project.
set(documents_folder ${CMAKE_INSTALL_DATAROOTDIR}/doc/quillfen)
install(FILES ${linux_source}/copyright ${changelog} DESTINATION ${documents_folder})

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
# Lines of the long description stay within 80 columns, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Quillfen finds files by all or part of their name, under one folder or on\n"
    "every mounted file system, and narrows the search by date, size and content\n"
    "(text in its 8-bit, UTF-16 and UTF-8 forms, or bytes). It also finds every\n"
    "duplicate of a file. quillfen-cli runs the same searches without a window.")
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
