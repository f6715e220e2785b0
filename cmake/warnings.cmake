# Every library of ours is recorded in one of two global lists, which the tests
# link: kv_core_libraries (portable) and kv_windows_libraries.
function(kv_core_library target)
    kv_warnings(${target})
    set_property(GLOBAL APPEND PROPERTY kv_core_libraries ${target})
endfunction()
function(kv_windows_library target)
    kv_warnings(${target})
    set_property(GLOBAL APPEND PROPERTY kv_windows_libraries ${target})
endfunction()

# Our own code builds with high warnings, treated as errors. Third-party code
# (libbz2, Boost's bzip2 filter, GoogleTest) keeps its own settings.
function(kv_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
        -Wcast-align -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough
        -Werror)
endfunction()

# On Windows: the Unicode API, the Windows version we build for, and static
# linking, so that no MinGW runtime DLL is needed.
if(WIN32)
    add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN
        _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800)
    add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
    # Resource scripts are UTF-8: narrow strings in them become UTF-16 through
    # code page 65001 (windres keeps the bytes of L"..." strings unconverted).
    string(APPEND CMAKE_RC_FLAGS " --codepage=65001")
endif()

# Sanitizers apply to whole native test binaries, so the libraries they link
# must be instrumented too.
if(KV_SANITIZE AND NOT WIN32)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Fuzzing builds instrument every library for coverage; the fuzzer targets add
# the libFuzzer driver.
if(KV_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
