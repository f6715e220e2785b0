# The Windows builds are small: every function and every object has a section
# of its own, so that the linker drops what nothing references, and the code is
# optimised for size, except libbz2's, where the extraction spends its time
# (cmake/dependencies.cmake).
if(NOT WIN32)
    return()
endif()

add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-Wl,--gc-sections)
foreach(language C CXX)
    string(REPLACE "-O3" "-Os" CMAKE_${language}_FLAGS_RELEASE "${CMAKE_${language}_FLAGS_RELEASE}")
endforeach()
