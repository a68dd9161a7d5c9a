# SPDX-License-Identifier: LGPL-3.0-or-later
# Runs a program and fails unless it exits with the expected code and its
# standard output and standard error match what is expected of them.
#   cmake -DPROGRAM=prog "-DARGS=a|b" -DCODE=64 [-DOUT=regex] [-DERR=regex]
#         [-DQUIET_OUT=ON] [-DQUIET_ERR=ON] -P expect_exit.cmake
string(REPLACE "|" ";" ARGS "${ARGS}")
execute_process(COMMAND "${PROGRAM}" ${ARGS}
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
# The offscreen platform's own chatter is not the program's.
string(REGEX REPLACE "QStandardPaths: [^\n]*\n" "" err "${err}")
set(problems "")
if(NOT code STREQUAL "${CODE}")
    string(APPEND problems "exit code ${code}, wanted ${CODE}\n")
endif()
if(DEFINED OUT AND NOT out MATCHES "${OUT}")
    string(APPEND problems "standard output does not match \"${OUT}\"\n")
endif()
if(DEFINED ERR AND NOT err MATCHES "${ERR}")
    string(APPEND problems "standard error does not match \"${ERR}\"\n")
endif()
if(QUIET_OUT AND NOT out STREQUAL "")
    string(APPEND problems "something on standard output\n")
endif()
if(QUIET_ERR AND NOT err STREQUAL "")
    string(APPEND problems "something on standard error\n")
endif()
if(NOT problems STREQUAL "")
    message(FATAL_ERROR "${PROGRAM} ${ARGS}:\n${problems}--- stdout:\n${out}--- stderr:\n${err}")
endif()
