# Checks the files that make the editor a desktop citizen, as the package installs them: the
# desktop entry and the software-centre entry pass their validators, the MIME package compiles
# into a database that knows the curve files by name and by their first bytes, and all three
# name the same MIME type.
#   cmake -DDESKTOP=... -DMETAINFO=... -DMIME=... -DWORK=<scratch folder> -P CheckDesktopFiles.cmake
cmake_policy(VERSION 3.25)
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate REQUIRED)
find_program(APPSTREAMCLI appstreamcli REQUIRED)
find_program(UPDATE_MIME_DATABASE update-mime-database REQUIRED)

function(run)
    execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
    message("${ARGN}: ${status}\n${out}${err}")
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "failed: ${ARGN}")
    endif()
    set(out "${out}${err}" PARENT_SCOPE)
endfunction()

run(${DESKTOP_FILE_VALIDATE} ${DESKTOP})
if(NOT out STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate has remarks")
endif()
run(${APPSTREAMCLI} validate --no-net --pedantic ${METAINFO})

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/mime/packages)
file(COPY ${MIME} DESTINATION ${WORK}/mime/packages)
run(${UPDATE_MIME_DATABASE} ${WORK}/mime)

file(STRINGS ${MIME} declared REGEX "<mime-type type=")
string(REGEX REPLACE ".*type=\"([^\"]+)\".*" "\\1" type "${declared}")
file(STRINGS ${WORK}/mime/globs2 globs REGEX ":${type}:")
if(NOT globs MATCHES "\\*\\.dim")
    message(FATAL_ERROR "the MIME database has no *.dim glob for ${type}: ${globs}")
endif()
file(READ ${WORK}/mime/magic magic HEX)
string(HEX "${type}" typeHex)
if(NOT magic MATCHES "${typeHex}5d0a3e303d0003016004")
    message(FATAL_ERROR "the MIME database has no 01 60 04 magic at offset 0 for ${type}")
endif()
file(READ ${DESKTOP} entry)
if(NOT entry MATCHES "\nMimeType=${type};\n")
    message(FATAL_ERROR "the desktop entry does not declare exactly ${type}")
endif()
file(STRINGS ${METAINFO} mediatype REGEX "<mediatype>")
if(NOT mediatype MATCHES "<mediatype>${type}</mediatype>")
    message(FATAL_ERROR "the metainfo provides ${mediatype}, not ${type}")
endif()
