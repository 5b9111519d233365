# delvix-cli render: SVG and PNG of an example sheet, and the failures a user can meet.
# Run with -DCLI=... -DEXAMPLES=... -DWORK=...
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(expect_run code)
    execute_process(COMMAND ${CLI} render ${ARGN} RESULT_VARIABLE rc ERROR_VARIABLE err
                    OUTPUT_VARIABLE out)
    if(NOT rc EQUAL code)
        message(FATAL_ERROR "render ${ARGN}: exit ${rc}, wanted ${code}\n${err}")
    endif()
    set(last_err "${err}" PARENT_SCOPE)
endfunction()

expect_run(0 ${EXAMPLES}/AllObjects.KX2 -o ${WORK}/all.svg)
file(READ ${WORK}/all.svg svg)
# Cropped to the 3000 x 2000 frame of that sheet.
if(NOT svg MATCHES "viewBox=\"0 0 3001 2001\"" OR NOT svg MATCHES "<title>AllObjects.KX2</title>")
    message(FATAL_ERROR "SVG is not the sheet's frame:\n${svg}")
endif()

expect_run(0 ${EXAMPLES}/Example.KX2 -o ${WORK}/ex.png --scale 0.5 --layers 0x01)
file(READ ${WORK}/ex.png head LIMIT 24 HEX)
# PNG signature, then the IHDR width and height (the frame at half scale).
string(SUBSTRING "${head}" 0 16 sig)
if(NOT sig STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "not a PNG: ${head}")
endif()

expect_run(1 ${WORK}/missing.KX2 -o ${WORK}/x.png)
if(NOT last_err MATCHES "Cannot open .*missing.KX2")
    message(FATAL_ERROR "missing file not reported: ${last_err}")
endif()
file(WRITE ${WORK}/bad.KX2 "+KORVX_DATA_V.1.0\r\n+JUNCTION,X:1,Y:2,-JUNCTION\r\nKEY:1\r\n")
expect_run(1 ${WORK}/bad.KX2 -o ${WORK}/x.png)
if(NOT last_err MATCHES "\\(line 3\\)")
    message(FATAL_ERROR "read error without its line: ${last_err}")
endif()
expect_run(2 ${EXAMPLES}/Example.KX2 -o ${WORK}/x.gif)
expect_run(2 ${EXAMPLES}/Example.KX2 -o ${WORK}/x.png --scale 0)
expect_run(2 ${EXAMPLES}/Example.KX2 -o ${WORK}/x.png --layers 256)
expect_run(2 ${EXAMPLES}/Example.KX2)
expect_run(2 ${EXAMPLES}/Example.KX2 -o ${WORK}/no-such-folder/x.png)
if(EXISTS ${WORK}/x.png OR EXISTS ${WORK}/x.gif)
    message(FATAL_ERROR "a failed render left a file behind")
endif()
