# Writes (MODE=write) or checks (MODE=check) the manual page of one program, made from its own
# --help text so the two never drift apart.
#   cmake -DMODE=write|check -DPROGRAM=<built program> -DNAME=<name> -DSUMMARY=<one line>
#         -DVERSION=<version> [-DSUBCOMMANDS=a,b] -DOUT=<page> -P manpage.cmake
# SUBCOMMANDS: each also answers "NAME SUB --help"; its text becomes a subsection.
cmake_minimum_required(VERSION 3.25)

# The help text of `PROGRAM ARGS...`, with the path it was started by shown as NAME.
function(kx_help_text out)
    # Qt programs need a platform even to print their help; none is shown.
    # Leaks at the exit of a help text are no concern of the page.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                            ASAN_OPTIONS=detect_leaks=0 ${PROGRAM} ${ARGN} --help
                    OUTPUT_VARIABLE text ERROR_VARIABLE err RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR text STREQUAL "")
        message(FATAL_ERROR "${PROGRAM} ${ARGN} --help failed (${rc}): ${err}")
    endif()
    string(REPLACE "${PROGRAM}" "${NAME}" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# `text` as roff lines shown as they are: backslashes, hyphens and leading dots made literal.
function(kx_roff_verbatim out text)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "^([.'])" "\\\\&\\1" text "${text}")
    string(REGEX REPLACE "\n([.'])" "\n\\\\&\\1" text "${text}")
    string(REGEX REPLACE "\n+$" "" text "${text}")
    set(${out} ".nf\n${text}\n.fi\n" PARENT_SCOPE)
endfunction()

string(TOUPPER "${NAME}" upper)
kx_help_text(help)
kx_roff_verbatim(body "${help}")
set(page ".\\\" Made from the output of \"${NAME} --help\"; edit that text, not this page.\n")
string(APPEND page ".TH ${upper} 1 \"\" \"Vennhald ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\n${NAME} \\- ${SUMMARY}\n.SH DESCRIPTION\n${body}")
if(SUBCOMMANDS)
    string(APPEND page ".SH COMMANDS\n")
    string(REPLACE "," ";" subs "${SUBCOMMANDS}")
    foreach(sub IN LISTS subs)
        kx_help_text(subhelp ${sub})
        kx_roff_verbatim(subbody "${subhelp}")
        string(APPEND page ".SS ${sub}\n${subbody}")
    endforeach()
endif()

if(MODE STREQUAL "write")
    file(WRITE "${OUT}" "${page}")
elseif(MODE STREQUAL "check")
    file(READ "${OUT}" built)
    if(NOT built STREQUAL page)
        message(FATAL_ERROR "${OUT} no longer matches \"${NAME} --help\"; rebuild it")
    endif()
else()
    message(FATAL_ERROR "MODE must be write or check")
endif()
