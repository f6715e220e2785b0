# Signed releases (off by default): a Windows build signs every program and
# DLL of the product right after its link, so that the packer packs the signed
# files, and the installer after its link, once its resources are final.
# Authenticode with SHA-256. Either setting turns it on:
#
#   KV_SIGN_PKCS12   a PKCS#12 file with the maker's code-signing certificate
#                    and key; scripts/sign signs with it through osslsigncode.
#                    Its password comes from the file KV_SIGN_PASSWORD_FILE or,
#                    without one, from the environment variable
#                    KV_SIGN_PASSWORD of the build: never from a command line
#                    or this cache.
#   KV_SIGN_COMMAND  a command that signs, in place, the file whose path it is
#                    given as its last argument (a hardware token, a signing
#                    service).
#
# With KV_SIGN_PKCS12, KV_SIGN_TIMESTAMP_URL names an RFC 3161 time-stamp
# server, and KV_SIGN_TIME fixes the signing time (seconds since 1970) for a
# reproducible signed build.
if(NOT WIN32)
    return()
endif()

set(KV_SIGN_PKCS12 "" CACHE FILEPATH "PKCS#12 file with the maker's code-signing certificate and key")
set(KV_SIGN_PASSWORD_FILE "" CACHE FILEPATH
    "File holding the password of KV_SIGN_PKCS12 (else the environment variable KV_SIGN_PASSWORD)")
set(KV_SIGN_COMMAND "" CACHE STRING "Command that signs in place the file given as its last argument")
set(KV_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server for KV_SIGN_PKCS12")
set(KV_SIGN_TIME "" CACHE STRING "Fixed signing time for KV_SIGN_PKCS12, seconds since 1970")

if(DEFINED CACHE{KV_SIGN_PASSWORD})
    unset(KV_SIGN_PASSWORD CACHE)
    message(FATAL_ERROR "KV_SIGN_PASSWORD was given to CMake and is now removed from its cache: "
                        "give it to the build in the environment, or name a file that holds it "
                        "with KV_SIGN_PASSWORD_FILE")
endif()

set(kv_sign_command "")
if(KV_SIGN_PKCS12 AND KV_SIGN_COMMAND)
    message(FATAL_ERROR "KV_SIGN_PKCS12 and KV_SIGN_COMMAND both name a way to sign: give one")
elseif(KV_SIGN_PKCS12)
    if(NOT EXISTS ${KV_SIGN_PKCS12})
        message(FATAL_ERROR "KV_SIGN_PKCS12: no file ${KV_SIGN_PKCS12}")
    endif()
    set(kv_sign_command ${PROJECT_SOURCE_DIR}/scripts/sign)
    if(KV_SIGN_PASSWORD_FILE)
        list(APPEND kv_sign_command --password-file ${KV_SIGN_PASSWORD_FILE})
    endif()
    if(KV_SIGN_TIMESTAMP_URL)
        list(APPEND kv_sign_command --timestamp ${KV_SIGN_TIMESTAMP_URL})
    endif()
    if(KV_SIGN_TIME)
        list(APPEND kv_sign_command --time ${KV_SIGN_TIME})
    endif()
    list(APPEND kv_sign_command ${KV_SIGN_PKCS12})
elseif(KV_SIGN_COMMAND)
    if(KV_SIGN_TIMESTAMP_URL OR KV_SIGN_TIME OR KV_SIGN_PASSWORD_FILE)
        message(FATAL_ERROR "KV_SIGN_TIMESTAMP_URL, KV_SIGN_TIME and KV_SIGN_PASSWORD_FILE go with "
                            "KV_SIGN_PKCS12; a KV_SIGN_COMMAND takes its own settings")
    endif()
    separate_arguments(kv_sign_command UNIX_COMMAND "${KV_SIGN_COMMAND}")
endif()
if(kv_sign_command)
    list(JOIN kv_sign_command " " shown)
    message(STATUS "Signing the product's programs and the installer with ${shown}")
endif()

# Signs the target's file after every link of it, when signing is on. Call it
# after any other step that changes the file: a later change would break the
# signature. A new PKCS#12 file relinks and so signs again.
function(kv_sign target)
    if(NOT kv_sign_command)
        return()
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${kv_sign_command} $<TARGET_FILE:${target}>
        COMMENT "Signing $<TARGET_FILE_NAME:${target}>"
        VERBATIM)
    if(KV_SIGN_PKCS12)
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${KV_SIGN_PKCS12})
    endif()
endfunction()
