# Checks delvix-cli find on a small tree written here: usage errors, output format and
# escaping, walk order, options, exit statuses, warnings. Variables: CLI, WORK (scratch folder).
file(REMOVE_RECURSE "${WORK}")
set(T "${WORK}/tree")
set(failures 0)

set(magic "+KORVX_DATA_V.1.0\r\n+SHEETINFO,W:1500,H:1000,-SHEETINFO\r\n")
set(close "-KORVX_DATA_V.1.0\r\n")
file(WRITE "${T}/b.kx2" "${magic}+LABEL,X:10,Y:20,D:1,S:GND,-LABEL\r\n${close}")
file(WRITE "${T}/A.KX2" "${magic}+TAG,X:1,Y:2,D:1,T:1,S:gnd,-TAG\r\n"
           "+COMMENT,X:3,Y:4,S:a%09b%25c%0Ad GND,-COMMENT\r\n${close}")
file(WRITE "${T}/p%q.kx2" "${magic}+COMPONENT,X:100,Y:200,LIB:GND,N:GND,NX:5,NY:6,R:U1,"
           "PKG:GND,NOTE:GND,-COMPONENT\r\n${close}")
file(WRITE "${T}/skip.kx2x" "${magic}+LABEL,X:0,Y:0,D:1,S:GND,-LABEL\r\n${close}")
file(WRITE "${T}/sub/c.kx2" "${magic}+LABEL,X:7,Y:8,D:1,S:GND,-LABEL\r\n${close}")
file(WRITE "${T}/.hidden/h.kx2" "${magic}+LABEL,X:0,Y:0,D:1,S:GND,-LABEL\r\n${close}")
file(WRITE "${T}/sub/bad.kx2" "${magic}+LABEL,X:7,Y:8,D:1,S:GND,-LABEL\r\nKEY:1\r\n${close}")
file(MAKE_DIRECTORY "${WORK}/empty")

function(check name expected_rc)
    # TOP runs the tool itself rather than its find command; OUTPUT_FILE sends stdout there.
    cmake_parse_arguments(R "TOP" "STDOUT;STDERR_MATCH;STDOUT_MATCH;LOCALE;OUTPUT_FILE" "ARGS"
                          ${ARGN})
    set(env ${CMAKE_COMMAND} -E env --unset=LC_CTYPE --unset=LANG "LC_ALL=${R_LOCALE}")
    if(NOT R_LOCALE)
        set(env "")
    endif()
    set(command find)
    if(R_TOP)
        set(command "")
    endif()
    if(R_OUTPUT_FILE)
        execute_process(COMMAND ${env} "${CLI}" ${command} ${R_ARGS} RESULT_VARIABLE rc
                        OUTPUT_FILE "${R_OUTPUT_FILE}" ERROR_VARIABLE err)
        set(out "")
    else()
        execute_process(COMMAND ${env} "${CLI}" ${command} ${R_ARGS} RESULT_VARIABLE rc
                        OUTPUT_VARIABLE out ERROR_VARIABLE err)
    endif()
    set(problem "")
    if(NOT rc STREQUAL "${expected_rc}")
        set(problem "exit status ${rc}, expected ${expected_rc}")
    elseif(DEFINED R_STDOUT AND NOT out STREQUAL "${R_STDOUT}")
        set(problem "stdout differs; expected:\n${R_STDOUT}")
    elseif(R_STDOUT_MATCH AND NOT out MATCHES "${R_STDOUT_MATCH}")
        set(problem "stdout does not match '${R_STDOUT_MATCH}'")
    elseif(R_STDERR_MATCH AND NOT err MATCHES "${R_STDERR_MATCH}")
        set(problem "stderr does not match '${R_STDERR_MATCH}'")
    endif()
    if(problem)
        message(SEND_ERROR "${name}: ${problem}\nstdout:\n${out}\nstderr:\n${err}")
        math(EXPR n "${failures} + 1")
        set(failures ${n} PARENT_SCOPE)
    endif()
    set(last_out "${out}" PARENT_SCOPE)
endfunction()

# Usage errors and help.
check(help 0 ARGS --help STDOUT_MATCH "usage: delvix-cli find")
check(no-args 2 STDERR_MATCH "TEXT and FOLDER are needed")
check(one-arg 2 ARGS GND STDERR_MATCH "TEXT and FOLDER are needed")
check(three-args 2 ARGS a b c STDERR_MATCH "too many arguments")
check(unknown-option 2 ARGS --frob GND "${T}" STDERR_MATCH "unknown option '--frob'")
check(bad-target 2 ARGS --targets tag,wire GND "${T}" STDERR_MATCH "unknown target")
check(empty-target 2 ARGS --targets= GND "${T}" STDERR_MATCH "unknown target")
check(bad-jobs 2 ARGS --jobs 0 GND "${T}" STDERR_MATCH "--jobs takes")
check(no-jobs-value 2 ARGS GND "${T}" --jobs STDERR_MATCH "--jobs needs a value")
check(bad-encoding 2 ARGS --encoding EBCDIC GND "${T}" STDERR_MATCH "unknown encoding")
check(missing-folder 2 ARGS GND "${WORK}/nope" STDERR_MATCH "nope: no such folder")
check(file-as-folder 2 ARGS GND "${T}/b.kx2" STDERR_MATCH "b.kx2: Not a directory\n$")
check(help-short 0 ARGS -h STDOUT_MATCH "usage: delvix-cli find")
check(help-after-options 0 ARGS --partial -h STDOUT_MATCH "usage: delvix-cli find")
check(two-e 2 ARGS -e a -e b "${T}" STDERR_MATCH "only one search text")
check(e-no-folder 2 ARGS -e a STDERR_MATCH "FOLDER is needed")
# An empty argument cannot pass through a CMake list, so these run directly.
foreach(args "" "-e")
    execute_process(COMMAND "${CLI}" find ${args} "" "${T}" RESULT_VARIABLE rc
                    OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 1 OR NOT out STREQUAL "" OR NOT err MATCHES "empty search text finds nothing")
        message(SEND_ERROR "empty-text ${args}: exit ${rc}, stdout '${out}', stderr '${err}'")
        math(EXPR failures "${failures} + 1")
    endif()
endforeach()
check(version 0 TOP ARGS --version STDOUT "delvix-cli 0.69.02\n")
check(help-tool 0 TOP ARGS -h STDOUT_MATCH "usage: delvix-cli COMMAND")
check(dump-help 0 TOP ARGS dump -h STDOUT_MATCH "usage: delvix-cli dump")
if(EXISTS /dev/full)
    foreach(args "--version" "--help" "find;--help" "dump;--help" "find;GND;${T}")
        string(REPLACE ";" " " label "${args}")
        check("full: ${label}" 2 TOP ARGS ${args} OUTPUT_FILE /dev/full
              STDERR_MATCH "cannot write to standard output")
    endforeach()
    check(full-dump 2 TOP ARGS dump "${T}/b.kx2" OUTPUT_FILE /dev/full
          STDERR_MATCH "cannot write to standard output")
else()
    message(STATUS "SKIPPED: no /dev/full here, write errors not checked")
endif()

# Default: whole text, case-sensitive, subfolders, all targets. Files of a folder in byte order
# of their names, then subfolders; ".hidden" and "skip.kx2x" not searched; the broken file is
# reported with its line.
set(all
    "${T}/b.kx2\tGND\tLabel\t10\t20\n"
    "${T}/p%25q.kx2\tGND\tValue\t105\t206\n"
    "${T}/p%25q.kx2\tGND\tNameInLib\t100\t200\n"
    "${T}/p%25q.kx2\tGND\tPkg\t100\t200\n"
    "${T}/p%25q.kx2\tGND\tNote\t100\t200\n"
    "${T}/sub/c.kx2\tGND\tLabel\t7\t8\n")
string(JOIN "" all ${all})
check(default 0 ARGS GND "${T}" STDOUT "${all}"
      STDERR_MATCH "^delvix-cli: skipped ${T}/sub/bad.kx2: line 4: [^\n]+\n$")
check(jobs-1 0 ARGS --jobs 1 GND "${T}" STDOUT "${all}")
check(jobs-5 0 ARGS --jobs=5 GND "${T}/" STDOUT "${all}")
check(no-subfolders 0 ARGS --no-subfolders --targets label,pkg GND "${T}"
      STDOUT "${T}/b.kx2\tGND\tLabel\t10\t20\n${T}/p%25q.kx2\tGND\tPkg\t100\t200\n")
check(ignore-case 0 ARGS --ignore-case --targets tag,label --no-subfolders gnd "${T}"
      STDOUT "${T}/A.KX2\tgnd\tTag\t1\t2\n${T}/b.kx2\tGND\tLabel\t10\t20\n")
check(partial-escaped 0 ARGS --partial --targets comment -- "b%c" "${T}"
      STDOUT "${T}/A.KX2\ta%09b%25c%0Ad GND\tComment\t3\t4\n")
check(partial-case 0 ARGS --partial --case --targets=ref,mfr,mfrpn,lib U "${T}"
      STDOUT "${T}/p%25q.kx2\tU1\tRefNum\t102\t210\n")
check(no-hit 1 ARGS NOTHING "${T}" STDOUT "")
check(empty-folder 1 ARGS GND "${WORK}/empty" STDOUT "")
check(sjis 0 ARGS --encoding Shift_JIS --partial GND "${T}" STDOUT_MATCH "Comment")
check(no-prefilter 1 ARGS --no-prefilter NOTHING-ELSE "${T}"
      STDERR_MATCH "skipped ${T}/sub/bad.kx2: line 4:")
# Texts that start with "-" are searched for after -e or --.
set(M "${WORK}/minus")
file(WRITE "${M}/m.kx2" "${magic}+LABEL,X:1,Y:2,D:1,S:-12V,-LABEL\r\n"
           "+TAG,X:3,Y:4,D:1,T:1,S:-5V,-TAG\r\n${close}")
check(minus-e 0 ARGS -e -12V "${M}" STDOUT "${M}/m.kx2\t-12V\tLabel\t1\t2\n")
check(minus-e-joined 0 ARGS --partial -e-5 "${M}" STDOUT "${M}/m.kx2\t-5V\tTag\t3\t4\n")
check(minus-dashdash 0 ARGS --targets tag -- -5V "${M}" STDOUT "${M}/m.kx2\t-5V\tTag\t3\t4\n")
check(minus-refused 2 ARGS -12V "${M}" STDERR_MATCH "unknown option '-12V'")

# Control bytes from a file's texts or names never reach the terminal raw.
string(ASCII 27 esc)
string(ASCII 7 bel)
string(ASCII 127 del)
set(C "${WORK}/control")
file(WRITE "${C}/x${esc}[2J.kx2"
     "${magic}+COMMENT,X:1,Y:2,S:a%1B]0:t%07b%7Fc%01GND,-COMMENT\r\n${close}")
check(control-bytes 0 ARGS --partial GND "${C}"
      STDOUT "${C}/x%1B[2J.kx2\ta%1B]0:t%07b%7Fc%01GND\tComment\t1\t2\n")
if(last_out MATCHES "[${esc}${bel}${del}]")
    message(SEND_ERROR "control-bytes: raw control byte in the output")
    math(EXPR failures "${failures} + 1")
endif()

# In Shift_JIS "b" is the second byte of the character 0x82 0x62 and does not match; byte-wise
# it does. The default encoding comes from the locale.
set(S "${WORK}/sjis")
file(WRITE "${S}/j.kx2" "${magic}+LABEL,X:1,Y:2,D:1,S:%82a%82b,-LABEL\r\n${close}")
check(sjis-trail 1 ARGS --encoding shift-jis --partial b "${S}")
check(utf8-bytes 0 ARGS --encoding UTF-8 --partial b "${S}")
check(locale-sjis 1 ARGS --partial b "${S}" LOCALE ja_JP.SJIS)
check(locale-cp932 1 ARGS --partial b "${S}" LOCALE ja_JP.CP932@x)
check(locale-utf8 0 ARGS --partial b "${S}" LOCALE C.UTF-8)
check(locale-override 0 ARGS --encoding utf8 --partial b "${S}" LOCALE ja_JP.SJIS)

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} check(s) failed")
endif()
