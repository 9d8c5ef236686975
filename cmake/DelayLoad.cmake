# Import libraries that load their DLL on first use instead of when the exe
# starts. Windows looks for a DLL that is not a known DLL in the exe's own
# folder first (usually Downloads), so wininet.dll, gdiplus.dll, bcrypt.dll and oleacc.dll are
# imported this way and loaded from System32 only (runtime/DllSearch_win.cpp).
#
#   delay_load_library(<target> <dll base name>)   e.g. delay_load_library(delay_wininet wininet)
# The export list is read from mingw-w64's own import library.
function(delay_load_library target dll)
    find_library(import_lib_${dll} NAMES lib${dll}.a REQUIRED)
    set(out ${CMAKE_BINARY_DIR}/delayload)
    file(MAKE_DIRECTORY ${out})
    execute_process(COMMAND x86_64-w64-mingw32-nm ${import_lib_${dll}}
                    OUTPUT_VARIABLE symbols RESULT_VARIABLE nm_result)
    if(NOT nm_result EQUAL 0)
        message(FATAL_ERROR "could not list the exports of ${import_lib_${dll}}")
    endif()
    string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
    set(def "LIBRARY ${dll}.dll\nEXPORTS\n")
    foreach(line IN LISTS imports)
        string(REPLACE " I __imp_" "" name "${line}")
        # Interface identifiers are data, which uuid.lib defines; a delay
        # stub of the same name would clash with it.
        if(name MATCHES "^(IID|CLSID|LIBID)_")
            continue()
        endif()
        string(APPEND def "    ${name}\n")
    endforeach()
    file(WRITE ${out}/${dll}.def "${def}")
    execute_process(COMMAND x86_64-w64-mingw32-dlltool --input-def ${out}/${dll}.def --dllname ${dll}.dll
                            --output-delaylib ${out}/lib${dll}_delay.a
                    RESULT_VARIABLE dlltool_result)
    if(NOT dlltool_result EQUAL 0)
        message(FATAL_ERROR "could not make the delay-load library of ${dll}.dll")
    endif()
    add_library(${target} STATIC IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${out}/lib${dll}_delay.a)
endfunction()
