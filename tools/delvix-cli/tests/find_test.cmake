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
    cmake_parse_arguments(R "" "STDOUT;STDERR_MATCH;STDOUT_MATCH;LOCALE" "ARGS" ${ARGN})
    set(env ${CMAKE_COMMAND} -E env --unset=LC_CTYPE --unset=LANG "LC_ALL=${R_LOCALE}")
    if(NOT R_LOCALE)
        set(env "")
    endif()
    execute_process(COMMAND ${env} "${CLI}" find ${R_ARGS} RESULT_VARIABLE rc
                    OUTPUT_VARIABLE out ERROR_VARIABLE err)
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
check(file-as-folder 2 ARGS GND "${T}/b.kx2" STDERR_MATCH "no such folder")

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
