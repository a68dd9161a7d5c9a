# SPDX-License-Identifier: LGPL-3.0-or-later
# The ABI check of libmorvane: the library's ABI (its exported symbols and
# the types of its public headers, as abidw reads them from its debug
# information) against the baseline committed beside this script. Run by
# CTest (morvane_abi), or to write a new baseline:
#   cmake -DLIBRARY=... -DBASELINE=... -DHEADERS="dir|dir" -DWORK=... [-DUPDATE=ON] -P check_abi.cmake
# A change that breaks programs built against the baseline fails, unless the
# library's SONAME (its SOVERSION) was raised with it; added functions do not.
# The baseline is written from a GCC build. Types are compared only when
# TYPES is on (a GCC build: another compiler describes the same types in
# other words, which abidiff takes for changes); otherwise the check is that
# no exported symbol of the baseline is gone.
find_program(ABIDW abidw REQUIRED)
find_program(ABIDIFF abidiff REQUIRED)
find_program(READELF readelf REQUIRED)

function(soname_of file out)
    file(STRINGS ${file} line LIMIT_COUNT 3 REGEX "soname='[^']*'")
    string(REGEX MATCH "soname='([^']*)'" _ "${line}")
    set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()
execute_process(COMMAND ${READELF} -d ${LIBRARY} OUTPUT_VARIABLE dynamic)
string(REGEX MATCH "Library soname: \\[([^]]*)\\]" _ "${dynamic}")
set(current_soname "${CMAKE_MATCH_1}")
if(NOT UPDATE)
    soname_of(${BASELINE} baseline_soname)
endif()

execute_process(COMMAND ${READELF} -S --wide ${LIBRARY} OUTPUT_VARIABLE sections)
if(NOT sections MATCHES "\\.debug_info")
    message(FATAL_ERROR "${LIBRARY} has no debug information: the ABI cannot be read from it "
                        "(the library is built with -g whenever MORVANE_ABI_CHECK is on)")
endif()

if(NOT TYPES AND NOT UPDATE)
    file(STRINGS ${BASELINE} lines REGEX "<elf-symbol name='")
    set(wanted)
    foreach(line IN LISTS lines)
        string(REGEX MATCH "<elf-symbol name='([^']*)'" _ "${line}")
        list(APPEND wanted "${CMAKE_MATCH_1}")
    endforeach()
    find_program(NM nm REQUIRED)
    execute_process(COMMAND ${NM} -D --defined-only --format=posix ${LIBRARY}
                    OUTPUT_VARIABLE symbols)
    string(REGEX MATCHALL "(^|\n)[^ \n]+ " found "${symbols}")
    list(TRANSFORM found STRIP)
    list(REMOVE_ITEM wanted ${found})
    if(wanted AND baseline_soname STREQUAL current_soname)
        list(JOIN wanted "\n  " gone)
        message(FATAL_ERROR "symbols of ${current_soname} gone since its baseline:\n  ${gone}")
    endif()
    message(STATUS "every symbol of the baseline is still exported (types are compared in GCC "
                   "builds)")
    return()
endif()

set(headers_args)
string(REPLACE "|" ";" header_dirs "${HEADERS}")
foreach(dir IN LISTS header_dirs)
    list(APPEND headers_args --headers-dir ${dir})
endforeach()
file(MAKE_DIRECTORY ${WORK})
set(current ${WORK}/libmorvane.abi)
# Only the types the public headers define: what the library uses inside is
# its own business.
execute_process(COMMAND ${ABIDW} --no-corpus-path --no-show-locs --drop-private-types ${headers_args}
                        --out-file ${current} ${LIBRARY}
                RESULT_VARIABLE code ERROR_VARIABLE err)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "abidw failed (${code}) on ${LIBRARY}:\n${err}")
endif()
if(UPDATE)
    configure_file(${current} ${BASELINE} COPYONLY)
    message(STATUS "wrote the ABI baseline ${BASELINE}")
    return()
endif()

execute_process(COMMAND ${ABIDIFF} --no-added-syms --no-unreferenced-symbols ${BASELINE} ${current}
                RESULT_VARIABLE code OUTPUT_VARIABLE report ERROR_VARIABLE err)
if(code EQUAL 0)
    message(STATUS "the ABI of ${current_soname} matches its baseline")
    return()
endif()
# abidiff's status: bit 1 an error, bit 2 a usage error, bit 4 an ABI
# change, bit 8 an incompatible one.
math(EXPR failed "${code} & 3")
if(NOT failed EQUAL 0)
    message(FATAL_ERROR "abidiff could not compare (${code}):\n${err}")
endif()
if(NOT baseline_soname STREQUAL current_soname)
    message(STATUS "the ABI changed and the SONAME was raised with it (${baseline_soname} -> "
                   "${current_soname}); write the new baseline: cmake --build BUILD "
                   "--target morvane_abi_baseline\n${report}")
    return()
endif()
message(FATAL_ERROR
    "the ABI of ${current_soname} changed against its baseline: programs built against it may "
    "break. Undo the change (keep data behind MorvanePrivate, add no virtual functions), or "
    "raise MORVANE_SOVERSION in resize/CMakeLists.txt and write a new baseline "
    "(cmake --build BUILD --target morvane_abi_baseline).\n${report}")
