# Gives a Windows executable its manifest (common controls 6, per-monitor DPI awareness, long
# paths) and a version block; does nothing elsewhere.
function(quillfen_windows_program target description)
    if(NOT WIN32)
        return()
    endif()
    string(REPLACE "." "," QUILLFEN_VERSION_COMMAS "${PROJECT_VERSION}")
    # A version field holds at most 65535, so the date part of the version is left out there.
    string(REGEX REPLACE ",[0-9]+$" ",0" QUILLFEN_VERSION_COMMAS "${QUILLFEN_VERSION_COMMAS}")
    set(QUILLFEN_MANIFEST "${PROJECT_SOURCE_DIR}/res/windows/quillfen.manifest")
    set(QUILLFEN_DESCRIPTION "${description}")
    set(QUILLFEN_PROGRAM "${target}")
    set(rc_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_program.rc")
    configure_file("${PROJECT_SOURCE_DIR}/res/windows/program.rc.in" "${rc_file}" @ONLY)
    target_sources(${target} PRIVATE "${rc_file}")
    set_property(SOURCE "${rc_file}" APPEND PROPERTY OBJECT_DEPENDS "${QUILLFEN_MANIFEST}")
endfunction()
