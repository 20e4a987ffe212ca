# Two made-up update archives, signed at build time by scripts/sign-file.sh with the build's test
# key as a release signs its archives, and the folder that holds them given to `target` as
# QUILLFEN_SIGNED_SAMPLES (empty in a build that trusts a release key, whose private half the
# tests do not have). A Windows test program runs under Wine, which sees the root as drive Z:.
function(quillfen_signed_update_samples target)
    if(QUILLFEN_UPDATE_TEST_KEY STREQUAL "")
        target_compile_definitions(${target} PRIVATE QUILLFEN_SIGNED_SAMPLES="")
        return()
    endif()
    find_program(QUILLFEN_BASH bash REQUIRED)
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/signed_samples)
    set(script ${PROJECT_SOURCE_DIR}/scripts/sign-file.sh)
    # Large enough to span many blocks of the hash.
    string(REPEAT "quillfen update " 4096 filler)
    file(GENERATE OUTPUT ${folder}/update.zip CONTENT "${filler}")
    file(GENERATE OUTPUT ${folder}/other.zip CONTENT "another archive")
    add_custom_command(
        OUTPUT ${folder}/update.zip.sig ${folder}/other.zip.sig
        COMMAND ${QUILLFEN_BASH} ${script} ${folder}/update.zip ${QUILLFEN_UPDATE_TEST_KEY}
        COMMAND ${QUILLFEN_BASH} ${script} ${folder}/other.zip ${QUILLFEN_UPDATE_TEST_KEY}
        DEPENDS ${script} ${QUILLFEN_UPDATE_TEST_KEY} ${folder}/update.zip ${folder}/other.zip
        COMMENT "Signing the update signature's test archives with the test key")
    add_custom_target(${target}_signed_samples DEPENDS ${folder}/update.zip.sig)
    add_dependencies(${target} ${target}_signed_samples)
    if(WIN32)
        set(folder "Z:${folder}")
    endif()
    target_compile_definitions(${target} PRIVATE QUILLFEN_SIGNED_SAMPLES="${folder}")
endfunction()
