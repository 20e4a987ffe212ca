# Programs of the next version, for the tests that update a copy of this build to a newer one: the
# same sources and libraries as this build's programs, with a version object one higher in its
# last number linked in front of the libraries, under the programs' own names in next-version/.

if(QUILLFEN_BUILD_TESTS)
    string(REGEX MATCH "[0-9]+$" last_number "${PROJECT_VERSION}")
    math(EXPR next_number "${last_number} + 1")
    string(REGEX REPLACE "[0-9]+$" "${next_number}" next_version "${PROJECT_VERSION}")
    set(QUILLFEN_NEXT_VERSION "${next_version}" CACHE INTERNAL "Version of the next-version programs")
    set(QUILLFEN_NEXT_VERSION_DIR "${CMAKE_BINARY_DIR}/next-version" CACHE INTERNAL
        "Folder of the next-version programs")
    add_library(quillfen_version_next OBJECT ${PROJECT_SOURCE_DIR}/src/version/ProgramVersion.cpp)
    target_include_directories(quillfen_version_next PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_compile_definitions(quillfen_version_next PRIVATE
                               QUILLFEN_VERSION="${QUILLFEN_NEXT_VERSION}")
endif()

# Called in the folder that defines `target`, once the target is complete.
function(quillfen_next_version_program target)
    if(NOT QUILLFEN_BUILD_TESTS)
        return()
    endif()
    get_target_property(sources ${target} SOURCES)
    get_target_property(libraries ${target} LINK_LIBRARIES)
    get_target_property(windowed ${target} WIN32_EXECUTABLE)
    set(copy ${target}-next-version)
    add_executable(${copy} ${sources})
    target_link_libraries(${copy} PRIVATE quillfen_version_next ${libraries})
    foreach(property LINK_OPTIONS COMPILE_DEFINITIONS)
        get_target_property(values ${target} ${property})
        if(values)
            set_property(TARGET ${copy} PROPERTY ${property} ${values})
        endif()
    endforeach()
    set_target_properties(${copy} PROPERTIES OUTPUT_NAME ${target}
                          RUNTIME_OUTPUT_DIRECTORY ${QUILLFEN_NEXT_VERSION_DIR}
                          WIN32_EXECUTABLE "${windowed}")
endfunction()
