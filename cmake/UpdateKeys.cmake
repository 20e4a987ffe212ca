# The Ed25519 public key that update archives must be signed with. A release build is given the
# key of the release's private key (64 hex digits); a build without one trusts a test key pair made
# here once per build folder, whose private key the tests sign with (QUILLFEN_UPDATE_TEST_KEY).
# The openssl command of the machine that builds makes it, also for a cross build.
set(QUILLFEN_UPDATE_PUBLIC_KEY "" CACHE STRING
    "Ed25519 public key (64 hex digits) that updates must be signed with; empty: a test key")

function(quillfen_make_test_update_key pem_path public_hex_variable)
    find_program(QUILLFEN_OPENSSL_COMMAND openssl)
    if(NOT QUILLFEN_OPENSSL_COMMAND)
        message(FATAL_ERROR "The openssl command makes this build's test update key and was not "
                            "found; install it (scripts/install-deps.sh) or set "
                            "QUILLFEN_UPDATE_PUBLIC_KEY to a release's public key.")
    endif()
    if(NOT EXISTS ${pem_path})
        get_filename_component(folder ${pem_path} DIRECTORY)
        file(MAKE_DIRECTORY ${folder})
        execute_process(COMMAND ${QUILLFEN_OPENSSL_COMMAND} genpkey -algorithm ed25519
                                -out ${pem_path}.new
                        RESULT_VARIABLE result ERROR_VARIABLE error)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "openssl genpkey could not make ${pem_path}: ${error}")
        endif()
        # Renamed only when complete, so that an interrupted configure makes a new one next time.
        file(RENAME ${pem_path}.new ${pem_path})
    endif()
    # The DER form of a public Ed25519 key: a fixed 12-byte header, then the 32 bytes of the key.
    set(der_path ${pem_path}.pub.der)
    execute_process(COMMAND ${QUILLFEN_OPENSSL_COMMAND} pkey -in ${pem_path} -pubout
                            -outform DER -out ${der_path}
                    RESULT_VARIABLE result ERROR_VARIABLE error)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "openssl pkey could not read the test key ${pem_path}: ${error}")
    endif()
    file(READ ${der_path} der_hex HEX)
    if(NOT der_hex MATCHES "^302a300506032b6570032100([0-9a-f][0-9a-f])+$")
        message(FATAL_ERROR "${der_path} is not the public half of an Ed25519 key")
    endif()
    string(SUBSTRING "${der_hex}" 24 -1 public_hex)
    string(LENGTH "${public_hex}" public_length)
    if(NOT public_length EQUAL 64)
        message(FATAL_ERROR "${der_path} holds a key of ${public_length} hex digits, not 64")
    endif()
    set(${public_hex_variable} ${public_hex} PARENT_SCOPE)
endfunction()

if(QUILLFEN_UPDATE_PUBLIC_KEY STREQUAL "")
    set(QUILLFEN_UPDATE_TEST_KEY ${CMAKE_BINARY_DIR}/update-keys/test-key.pem)
    quillfen_make_test_update_key(${QUILLFEN_UPDATE_TEST_KEY} QUILLFEN_UPDATE_PUBLIC_KEY)
    message(STATUS "Updates: this build trusts the TEST key ${QUILLFEN_UPDATE_TEST_KEY} "
                   "(public ${QUILLFEN_UPDATE_PUBLIC_KEY}); set QUILLFEN_UPDATE_PUBLIC_KEY for a "
                   "release")
else()
    set(QUILLFEN_UPDATE_TEST_KEY "")
    if(NOT QUILLFEN_UPDATE_PUBLIC_KEY MATCHES "^[0-9A-Fa-f]+$")
        message(FATAL_ERROR "QUILLFEN_UPDATE_PUBLIC_KEY must be 64 hex digits (an Ed25519 public "
                            "key), not \"${QUILLFEN_UPDATE_PUBLIC_KEY}\"")
    endif()
    string(LENGTH "${QUILLFEN_UPDATE_PUBLIC_KEY}" key_length)
    if(NOT key_length EQUAL 64)
        message(FATAL_ERROR "QUILLFEN_UPDATE_PUBLIC_KEY must be 64 hex digits (an Ed25519 public "
                            "key), not ${key_length}")
    endif()
    message(STATUS "Updates: this build trusts the public key ${QUILLFEN_UPDATE_PUBLIC_KEY}")
endif()
string(TOLOWER "${QUILLFEN_UPDATE_PUBLIC_KEY}" QUILLFEN_UPDATE_PUBLIC_KEY)
