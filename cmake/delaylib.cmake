# Delay-loaded import libraries: the product loads these system libraries when a function of
# theirs is first called, not at process start (a silent run needs none of them).
# pixmora_delaylib(<out-var> <lib>...) builds lib<lib>_delay.a from MinGW's import library.
function(pixmora_delaylib out)
    get_filename_component(bin_dir ${CMAKE_CXX_COMPILER} DIRECTORY)
    find_program(PIXMORA_DLLTOOL NAMES i686-w64-mingw32-dlltool HINTS ${bin_dir} REQUIRED)
    find_program(PIXMORA_NM NAMES i686-w64-mingw32-nm HINTS ${bin_dir} REQUIRED)
    set(libs "")
    foreach(lib IN LISTS ARGN)
        find_library(import_${lib} NAMES lib${lib}.a ${lib} REQUIRED)
        set(def ${CMAKE_BINARY_DIR}/delay/${lib}.def)
        set(a ${CMAKE_BINARY_DIR}/delay/lib${lib}_delay.a)
        add_custom_command(OUTPUT ${a}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delay
            COMMAND sh -c "{ echo 'LIBRARY ${lib}.dll'; echo EXPORTS; ${PIXMORA_NM} '${import_${lib}}' | sed -n 's/^.* I __imp__\\(.*\\)$/\\1/p' | sort -u; } > '${def}'"
            COMMAND ${PIXMORA_DLLTOOL} -k --input-def ${def} --dllname ${lib}.dll --output-delaylib ${a}
            DEPENDS ${import_${lib}}
            VERBATIM)
        list(APPEND libs ${a})
    endforeach()
    add_custom_target(delaylibs DEPENDS ${libs})
    set(${out} ${libs} PARENT_SCOPE)
endfunction()
