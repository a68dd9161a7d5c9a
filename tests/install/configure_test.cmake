# SPDX-License-Identifier: GPL-3.0-or-later
# A machine without Qt Charts (Qt6Charts hidden from find_package): the
# configure stops and names the Debian package to install, unless the game
# window is left out on purpose; then nothing of the window is installed.
#   cmake -DSOURCE=DIR -DWORK=DIR -DGENERATOR=G -DCXX=COMPILER -P configure_test.cmake
function(configure dir out_result out_output)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${dir} -G ${GENERATOR}
                -DCMAKE_CXX_COMPILER=${CXX} -DBUILD_TESTING=OFF
                -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Charts=ON ${ARGN}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    set(${out_result} ${result} PARENT_SCOPE)
    set(${out_output} "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
configure(${WORK}/asked result output)
if(result EQUAL 0)
    message(FATAL_ERROR "the configure went on without Qt Charts:\n${output}")
endif()
if(NOT output MATCHES "install[ \n]+qt6-charts-dev" OR NOT output MATCHES "-DTESSARO_BUILD_UI=OFF")
    message(FATAL_ERROR "the configure does not name qt6-charts-dev:\n${output}")
endif()

configure(${WORK}/left-out result output -DTESSARO_BUILD_UI=OFF)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the configure without the window failed:\n${output}")
endif()
# What `cmake --install` would do, read from the install scripts.
file(GLOB_RECURSE scripts ${WORK}/left-out/cmake_install.cmake)
set(installs "")
foreach(script IN LISTS scripts)
    file(READ ${script} text)
    string(APPEND installs "${text}")
endforeach()
foreach(window_file "/applications" "/metainfo" "/icons/" "tessaro.6" "bin/tessaro\"")
    if(installs MATCHES "${window_file}")
        message(FATAL_ERROR "a build without the window installs ${window_file}")
    endif()
endforeach()
foreach(cli_file "bin/tessaro-cli" "tessaro-cli.6")
    if(NOT installs MATCHES "${cli_file}")
        message(FATAL_ERROR "a build without the window does not install ${cli_file}")
    endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
message(STATUS "without Qt Charts: the configure names qt6-charts-dev; "
               "-DTESSARO_BUILD_UI=OFF installs nothing of the window")
