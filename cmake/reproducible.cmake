# The Windows builds are reproducible: the same sources give the same bytes in
# any folder, at any time (scripts/reproducible shows it).
#
# - no link time stamp in any PE file;
# - the source and build folders do not reach the objects: paths in __FILE__,
#   assertions and debugging information are relative to the source folder,
#   also in what the resource compiler preprocesses;
# - static libraries without member time stamps, owners or modes.
#
# The payload is deterministic of itself: the packer writes the files in the
# manifest's order and records names, sizes and CRCs only.
if(NOT WIN32)
    return()
endif()

add_link_options(-Wl,--no-insert-timestamp)

set(kv_prefix_maps "-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=")
cmake_path(IS_PREFIX CMAKE_SOURCE_DIR "${CMAKE_BINARY_DIR}" NORMALIZE build_inside_source)
if(NOT build_inside_source)
    list(APPEND kv_prefix_maps "-ffile-prefix-map=${CMAKE_BINARY_DIR}/=build/")
endif()
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:${kv_prefix_maps}>")
foreach(map ${kv_prefix_maps})
    string(APPEND CMAKE_RC_FLAGS " --preprocessor-arg=${map}")
endforeach()

foreach(language C CXX)
    set(CMAKE_${language}_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
    set(CMAKE_${language}_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
    set(CMAKE_${language}_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
endforeach()
