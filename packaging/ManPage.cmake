# Writes the gzipped manual page of a program from its --help and --version and an include
# file of extra sections (help2man); for a program with commands, each command's --help is
# appended as a section of its own.
#   cmake -DPROGRAM=... -DNAME=... -DINCLUDE=... -DOUTPUT=....1.gz [-DCOMMANDS=ON] -P ManPage.cmake
# The commands are those the program's --help lists under "Commands:", but "help".
foreach(var PROGRAM NAME INCLUDE OUTPUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "ManPage.cmake needs -D${var}=...")
    endif()
endforeach()
cmake_policy(VERSION 3.25)
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)
# The programs draw off screen: help and version need no display. A sanitizer build's leak
# report at exit is not part of the help. help2man dates the page from SOURCE_DATE_EPOCH when
# it is set.
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{ASAN_OPTIONS} detect_leaks=0)

string(REGEX REPLACE "\\.gz$" "" page "${OUTPUT}")
set(include "${INCLUDE}")
if(COMMANDS)
    set(include "${page}.h2m")
    execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help ERROR_QUIET)
    string(REGEX MATCH "\nCommands:\n(  [^\n]*\n)*" listed "${help}")
    string(REGEX MATCHALL "\n  [a-z]+ " names "${listed}")
    set(commands)
    foreach(name IN LISTS names)
        string(STRIP "${name}" name)
        if(NOT name STREQUAL "help")
            list(APPEND commands ${name})
        endif()
    endforeach()
    if(NOT commands)
        message(FATAL_ERROR "${PROGRAM} --help lists no commands")
    endif()
    file(READ "${INCLUDE}" text)
    string(APPEND text "\n[>COMMANDS]\n")
    foreach(command IN LISTS commands)
        execute_process(COMMAND "${PROGRAM}" ${command} --help
                        OUTPUT_VARIABLE help RESULT_VARIABLE status ERROR_QUIET)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "${PROGRAM} ${command} --help failed: ${status}")
        endif()
        # Verbatim roff: backslashes doubled, a leading dot or quote kept from being a request.
        string(REPLACE "\\" "\\e" help "${help}")
        string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
        string(APPEND text ".SS ${command}\n.nf\n${help}\n.fi\n")
    endforeach()
    file(WRITE "${include}" "${text}")
endif()

execute_process(COMMAND "${HELP2MAN}" --no-info --section=1 "--name=${NAME}"
                        "--include=${include}" "--output=${page}" "${PROGRAM}"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "help2man failed for ${PROGRAM}: ${status}")
endif()
execute_process(COMMAND "${GZIP}" -9nf "${page}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed for ${page}: ${status}")
endif()
