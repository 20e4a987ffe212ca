# The archives of the ZIP reader's tests, made once per build on the build machine by the writers
# found in the field, and the folder that holds them given to `target` as QUILLFEN_ZIP_FIXTURES.
# A Windows test program runs under Wine, which sees the build machine's root as drive Z:.
function(quillfen_zip_fixtures target)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    find_program(QUILLFEN_ZIP_PROGRAM zip REQUIRED)
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/zip_fixtures)
    set(script ${PROJECT_SOURCE_DIR}/tests/support/make_zip_fixtures.py)
    add_custom_command(OUTPUT ${folder}/fixtures.stamp
                       COMMAND ${Python3_EXECUTABLE} ${script} ${folder} ${QUILLFEN_ZIP_PROGRAM}
                               ${CMAKE_COMMAND}
                       DEPENDS ${script}
                       COMMENT "Making the ZIP reader's test archives")
    add_custom_target(${target}_zip_fixtures DEPENDS ${folder}/fixtures.stamp)
    add_dependencies(${target} ${target}_zip_fixtures)
    if(WIN32)
        set(folder "Z:${folder}")
    endif()
    target_compile_definitions(${target} PRIVATE QUILLFEN_ZIP_FIXTURES="${folder}")
endfunction()
