# Runs pelm-cli once and checks what it did. Variables: CLI, ARGS ("|"-separated), EXIT,
# STDOUT (file holding the exact expected standard output), STDERR (regular expression),
# OUTPUT (file the run writes, removed first), EXPECT (file OUTPUT must equal byte for byte) and
# ABSENT (true when OUTPUT must not be written).
string(REPLACE "|" ";" args "${ARGS}")
if(OUTPUT)
    file(REMOVE "${OUTPUT}")
    get_filename_component(dir "${OUTPUT}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
endif()
execute_process(COMMAND "${CLI}" ${args} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
if(NOT rc STREQUAL "${EXIT}")
    message(FATAL_ERROR "exit status ${rc}, expected ${EXIT}\nstdout:\n${out}\nstderr:\n${err}")
endif()
if(STDOUT)
    file(READ "${STDOUT}" expected)
    if(NOT out STREQUAL expected)
        message(FATAL_ERROR "stdout differs\n--- got:\n${out}\n--- expected:\n${expected}")
    endif()
endif()
if(STDERR AND NOT err MATCHES "${STDERR}")
    message(FATAL_ERROR "stderr does not match '${STDERR}':\n${err}")
endif()
if(EXPECT)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}" "${EXPECT}"
                    RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "${OUTPUT} differs from ${EXPECT}")
    endif()
endif()
if(ABSENT AND EXISTS "${OUTPUT}")
    message(FATAL_ERROR "${OUTPUT} was written")
endif()
