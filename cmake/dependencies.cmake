# Boost (Iostreams with bzip2, Uuid, System) and libbz2.
#
# Natively they come from Debian. For MinGW, Debian has no builds: Boost's
# header-only libraries are used from Debian's headers through an include
# folder that holds only a `boost` link, and libbz2 and Boost.Iostreams' bzip2
# filter are compiled here from Debian's source packages, which
# scripts/lib/bootstrap.sh fetches into build/deps.
#
# Either way the result is one target, kv::bzip2_streams.

if(WIN32)
    set(KV_DEPS_DIR "${CMAKE_SOURCE_DIR}/build/deps" CACHE PATH "Sources fetched by the bootstrap")
    set(bz2_src "${KV_DEPS_DIR}/src/bzip2")
    if(NOT EXISTS "${bz2_src}/bzlib.c")
        message(FATAL_ERROR "libbz2 sources missing in ${bz2_src}: run scripts/test or scripts/run once")
    endif()

    add_library(kv_boost_headers INTERFACE)
    target_include_directories(kv_boost_headers SYSTEM INTERFACE "${KV_DEPS_DIR}/include")
    target_compile_definitions(kv_boost_headers INTERFACE BOOST_ALL_NO_LIB)
    # Boost.Uuid's random generator draws on CryptGenRandom of advapi32, which
    # the programs import anyway, rather than on bcrypt.dll, which Windows
    # would look for first in the program's folder.
    target_compile_definitions(kv_boost_headers INTERFACE BOOST_UUID_RANDOM_PROVIDER_FORCE_WINCRYPT)
    target_link_libraries(kv_boost_headers INTERFACE advapi32)

    add_library(kv_bz2 STATIC
        ${bz2_src}/blocksort.c ${bz2_src}/huffman.c ${bz2_src}/crctable.c
        ${bz2_src}/randtable.c ${bz2_src}/compress.c ${bz2_src}/decompress.c
        ${bz2_src}/bzlib.c)
    target_include_directories(kv_bz2 SYSTEM PUBLIC "${bz2_src}")
    # Optimised for speed where the rest is optimised for size (cmake/size.cmake).
    target_compile_options(kv_bz2 PRIVATE -w $<$<CONFIG:Release>:-O2>)

    add_library(kv_boost_iostreams_bzip2 STATIC "${KV_DEPS_DIR}/src/boost-iostreams/bzip2.cpp")
    target_link_libraries(kv_boost_iostreams_bzip2 PUBLIC kv_boost_headers kv_bz2)
    target_compile_options(kv_boost_iostreams_bzip2 PRIVATE -w)

    add_library(kv_bzip2_streams INTERFACE)
    target_link_libraries(kv_bzip2_streams INTERFACE kv_boost_iostreams_bzip2)
else()
    find_package(Boost 1.74 REQUIRED COMPONENTS iostreams)
    find_package(BZip2 REQUIRED)
    add_library(kv_boost_headers INTERFACE)
    target_link_libraries(kv_boost_headers INTERFACE Boost::headers)
    target_compile_definitions(kv_boost_headers INTERFACE BOOST_ALL_NO_LIB)
    add_library(kv_bzip2_streams INTERFACE)
    target_link_libraries(kv_bzip2_streams INTERFACE Boost::iostreams BZip2::BZip2 kv_boost_headers)
endif()
add_library(kv::boost ALIAS kv_boost_headers)
add_library(kv::bzip2_streams ALIAS kv_bzip2_streams)

# GoogleTest: Debian's package natively; for MinGW built here from the same
# sources under /usr/src/googletest.
if(KV_TESTS)
    if(WIN32)
        set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
        add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
    else()
        find_package(GTest REQUIRED)
    endif()
endif()
