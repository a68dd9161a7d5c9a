# SPDX-License-Identifier: LGPL-3.0-or-later
# Fails unless the plugin's dynamic symbol table defines Qt's plugin entry
# points and nothing else: everything of the plugin and of the control
# library it links stays hidden.
#   cmake -DNM=nm -DPLUGIN=libmorvaneplugin.so -P check_exports.cmake
execute_process(COMMAND "${NM}" -D --defined-only "${PLUGIN}"
                OUTPUT_VARIABLE symbols ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${PLUGIN}: ${errors}")
endif()

set(has_instance FALSE)
set(has_metadata FALSE)
set(others "")
string(REPLACE "\n" ";" lines "${symbols}")
foreach(line IN LISTS lines)
    # "address type name"; the name is the last field.
    if(NOT line MATCHES "([^ ]+)$")
        continue()
    endif()
    set(name "${CMAKE_MATCH_1}")
    if(name STREQUAL "qt_plugin_instance")
        set(has_instance TRUE)
    elseif(name MATCHES "^qt_plugin_query_metadata")
        set(has_metadata TRUE)
    else()
        string(APPEND others "\n  ${line}")
    endif()
endforeach()

if(NOT others STREQUAL "")
    message(FATAL_ERROR "${PLUGIN} exports more than Qt's plugin entry points:${others}")
endif()
if(NOT has_instance OR NOT has_metadata)
    message(FATAL_ERROR "${PLUGIN} lacks qt_plugin_instance or qt_plugin_query_metadata")
endif()
message(STATUS "${PLUGIN}: only Qt's plugin entry points exported")
