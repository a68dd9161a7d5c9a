# SPDX-License-Identifier: LGPL-3.0-or-later
# Installs the library's component of the build into a fresh prefix, checks
# what lies where, then builds and runs the consumer project against the
# installed tree twice: through find_package(Morvane) and through
# pkg-config. Run by CTest:
#   cmake -DBUILD=... -DWORK=... -DSOURCE=... -DGENERATOR=... -DCXX=...
#         -DVERSION=1.0 -DLIBDIR=lib -DPLUGINDIR=... -DQT6_DIR=... -P consumer_test.cmake
set(prefix ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(run)
    execute_process(COMMAND ${ARGV} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT code EQUAL 0)
        message(FATAL_ERROR "failed (${code}): ${ARGV}\n${out}\n${err}")
    endif()
    set(run_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix} --component morvane)

# What the install must hold, as the library's README describes it.
set(wanted
    ${LIBDIR}/libmorvane.so ${LIBDIR}/libmorvane.so.1 ${LIBDIR}/libmorvane.so.${VERSION}
    include/morvane/morvane.h include/morvane/version.h include/morvane/morvane_export.h
    include/morvane/morvaneproperties.h
    ${LIBDIR}/cmake/Morvane/MorvaneConfig.cmake ${LIBDIR}/cmake/Morvane/MorvaneConfigVersion.cmake
    ${LIBDIR}/cmake/Morvane/MorvaneTargets.cmake ${LIBDIR}/pkgconfig/morvane.pc
    share/doc/morvane/LICENSE share/doc/morvane/COPYING.GPL-3 bin/morvane-demo)
if(PLUGINDIR)
    list(APPEND wanted ${PLUGINDIR}/libmorvaneplugin.so)
endif()
foreach(f IN LISTS wanted)
    if(NOT EXISTS ${prefix}/${f})
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()
# Only the headers a program includes: the library's own stay in its source.
file(GLOB headers RELATIVE ${prefix}/include/morvane ${prefix}/include/morvane/*)
list(SORT headers)
set(public messagebox.h morvane.h morvane_export.h morvaneproperties.h screen.h version.h)
if(NOT headers STREQUAL public)
    message(FATAL_ERROR "installed headers: ${headers}; the public ones are: ${public}")
endif()
foreach(link libmorvane.so libmorvane.so.1)
    if(NOT IS_SYMLINK ${prefix}/${LIBDIR}/${link})
        message(FATAL_ERROR "${LIBDIR}/${link} is no link to the library")
    endif()
endforeach()
file(READ ${prefix}/${LIBDIR}/cmake/Morvane/MorvaneTargets.cmake targets)
if(targets MATCHES "tessaro")
    message(FATAL_ERROR "the exported target names a target of the game:\n${targets}")
endif()

# The installed demo finds the installed library by its own place.
set(ENV{LD_LIBRARY_PATH} "")
run(${prefix}/bin/morvane-demo --version)
if(NOT run_output STREQUAL "morvane-demo ${VERSION}\n")
    message(FATAL_ERROR "installed morvane-demo --version said: ${run_output}")
endif()

# find_package(Morvane 1.0) and Morvane::morvane.
run(${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/cmake-build -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_PREFIX_PATH=${prefix} -DQt6_DIR=${QT6_DIR})
run(${CMAKE_COMMAND} --build ${WORK}/cmake-build)
run(${WORK}/cmake-build/consumer)
if(NOT run_output MATCHES "^Morvane ${VERSION} \\(header ${VERSION}\\), bound: yes")
    message(FATAL_ERROR "the consumer built with CMake said: ${run_output}")
endif()

# pkg-config --cflags --libs morvane. Qt wants position-independent code.
set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
run(pkg-config --cflags --libs morvane)
string(STRIP "${run_output}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
run(${CXX} -std=c++17 -fPIC ${SOURCE}/main.cpp ${flags} -o ${WORK}/consumer-pc)
set(ENV{LD_LIBRARY_PATH} ${prefix}/${LIBDIR})
run(${WORK}/consumer-pc)
if(NOT run_output MATCHES "^Morvane ${VERSION} \\(header ${VERSION}\\), bound: yes")
    message(FATAL_ERROR "the consumer built with pkg-config said: ${run_output}")
endif()
file(REMOVE_RECURSE ${WORK})
message(STATUS "installed Morvane ${VERSION} found by CMake and by pkg-config")
