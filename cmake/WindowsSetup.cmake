# The setup program QuillfenSetup-<version>.exe (res/windows/setup.nsi.in), made with NSIS. It packs
# the programs that this build has, without their debugging information, and the language tables;
# called after the programs' targets are defined. A build with tests also makes the setup of the
# next-version programs (cmake/NextVersionPrograms.cmake), which the update's tests install over
# this one; it is not part of the default build's output otherwise.
function(quillfen_windows_setup)
    find_program(QUILLFEN_MAKENSIS makensis REQUIRED)
    set(programs quillfen-cli)
    if(TARGET quillfen)
        list(PREPEND programs quillfen)
    endif()
    quillfen_setup_program(setup ${PROJECT_VERSION} "${programs}" setup_file)
    add_custom_target(quillfen_setup ALL DEPENDS ${setup_file})
    set(QUILLFEN_SETUP_FILE ${setup_file} PARENT_SCOPE)
    if(QUILLFEN_BUILD_TESTS)
        list(TRANSFORM programs APPEND -next-version)
        quillfen_setup_program(setup-next ${QUILLFEN_NEXT_VERSION} "${programs}" next_file)
        add_custom_target(quillfen_setup_next_version ALL DEPENDS ${next_file})
        set(QUILLFEN_NEXT_SETUP_FILE ${next_file} PARENT_SCOPE)
    endif()
endfunction()

# The setup of `version` packing the program targets `programs` (the window program first when the
# build has it), staged and scripted in the build folder's `work` folder; its path in `output`.
function(quillfen_setup_program work version programs output)
    get_property(language_tables GLOBAL PROPERTY QUILLFEN_LANGUAGE_TABLES)
    set(stage ${CMAKE_BINARY_DIR}/${work}/stage)
    set(stamp ${CMAKE_BINARY_DIR}/${work}/staged.stamp)
    set(stage_commands)
    set(program_lines)
    foreach(program ${programs})
        list(APPEND stage_commands COMMAND ${CMAKE_STRIP} --strip-all -o
             ${stage}/$<TARGET_FILE_NAME:${program}> $<TARGET_FILE:${program}>)
        string(APPEND program_lines "  !insertmacro \${MACRO} \"$<TARGET_FILE_NAME:${program}>\"\n")
    endforeach()
    set(table_lines)
    foreach(table ${language_tables})
        get_filename_component(name ${table} NAME)
        list(APPEND stage_commands COMMAND ${CMAKE_COMMAND} -E copy ${table} ${stage}/Language/)
        string(APPEND table_lines "  !insertmacro \${MACRO} \"${name}\"\n")
    endforeach()
    add_custom_command(
        OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/Language
        ${stage_commands}
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${programs} ${language_tables}
        COMMENT "Staging the programs and language tables of the setup program ${version}")

    # The licence page shows the file as it is: Windows line ends keep its paragraphs apart.
    file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
    string(REPLACE "\n" "\r\n" license_text "${license_text}")
    set(QUILLFEN_SETUP_LICENSE ${CMAKE_BINARY_DIR}/${work}/LICENSE.txt)
    file(WRITE ${QUILLFEN_SETUP_LICENSE} "${license_text}")
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 ${PROJECT_SOURCE_DIR}/LICENSE)

    set(QUILLFEN_SETUP_VERSION ${version})
    set(QUILLFEN_SETUP_STAGE ${stage})
    set(QUILLFEN_SETUP_PROGRAMS "${program_lines}")
    set(QUILLFEN_SETUP_LANGUAGE_TABLES "${table_lines}")
    set(QUILLFEN_SETUP_WINDOW_PROGRAM)
    list(GET programs 0 first)
    get_target_property(windowed ${first} WIN32_EXECUTABLE)
    if(windowed)
        set(QUILLFEN_SETUP_WINDOW_PROGRAM "!define WINDOW_PROGRAM \"$<TARGET_FILE_NAME:${first}>\"")
    endif()
    set(QUILLFEN_SETUP_FILE ${CMAKE_BINARY_DIR}/QuillfenSetup-${version}.exe)
    # A version field holds at most 65535, so the date part of the version is left out there.
    string(REGEX REPLACE "\\.[0-9]+$" ".0" QUILLFEN_VERSION_NUMBERS "${version}")
    set(configured ${CMAKE_BINARY_DIR}/${work}/setup.nsi.configured)
    set(script ${CMAKE_BINARY_DIR}/${work}/setup.nsi)
    configure_file(${PROJECT_SOURCE_DIR}/res/windows/setup.nsi.in ${configured} @ONLY)
    file(GENERATE OUTPUT ${script} INPUT ${configured})

    add_custom_command(
        OUTPUT ${QUILLFEN_SETUP_FILE}
        COMMAND ${QUILLFEN_MAKENSIS} -V2 -INPUTCHARSET UTF8 ${script}
        DEPENDS ${stamp} ${script} ${PROJECT_SOURCE_DIR}/res/windows/setup.nsi.in
        COMMENT "Making the setup program QuillfenSetup-${version}.exe")
    set(${output} ${QUILLFEN_SETUP_FILE} PARENT_SCOPE)
endfunction()
