# pelm-cli behaviour: usage, listing, round trips, exit status. Included by ../CMakeLists.txt.
set(model_data ${PROJECT_SOURCE_DIR}/common/model/tests/data)

# Usage
kx_cli_test(help EXIT 0 ARGS --help STDERR "^$")
kx_cli_test(version EXIT 0 ARGS --version STDOUT ${cli_data}/version.txt)
kx_cli_test(short-help EXIT 0 ARGS -h STDERR "^$")
kx_cli_test(help-after-command EXIT 0 ARGS "list|--help" STDERR "^$")
kx_cli_test(short-help-after-command EXIT 0 ARGS "roundtrip|a|-h" STDERR "^$")
kx_cli_test(no-arguments EXIT 2 STDERR "missing command.*Usage:")
kx_cli_test(unknown-command EXIT 2 ARGS "frobnicate|x" STDERR "unknown command 'frobnicate'")
kx_cli_test(list-two-files EXIT 2 ARGS "list|a|b" STDERR "list takes one FILE")
kx_cli_test(roundtrip-one-file EXIT 2 ARGS "roundtrip|${model_data}/basic.KM2"
            STDERR "roundtrip takes IN and OUT")

# Listing
kx_cli_test(list EXIT 0 ARGS "list|${model_data}/basic.KM2" STDOUT ${cli_data}/basic.list
            STDERR "^$")
kx_cli_test(list-schematic EXIT 0 ARGS "list|${model_data}/two_parts.KX2"
            STDOUT ${cli_data}/two_parts.list)
kx_cli_test(list-part-way EXIT 1 ARGS "list|${cli_data}/broken.KM2" STDOUT ${cli_data}/broken.list
            STDERR "broken.KM2:10: error: component section could not be read")
kx_cli_test(list-missing EXIT 2 ARGS "list|${cli_data}/missing.KM2"
            STDERR "missing.KM2: cannot open: No such file")
kx_cli_test(list-not-a-library EXIT 2 ARGS "list|${cli_data}/not_a_library.txt"
            STDERR "not_a_library.txt: not a component library or schematic file")
kx_cli_test(list-folder EXIT 2 ARGS "list|${cli_data}" STDERR "data: cannot open: Is a directory")

# Round trips
kx_cli_test(roundtrip EXIT 0 ARGS "roundtrip|${model_data}/basic.KM2|${cli_work}/basic.KM2"
            OUTPUT ${cli_work}/basic.KM2 EXPECT ${model_data}/basic.KM2)
kx_cli_test(roundtrip-schematic EXIT 0
            ARGS "roundtrip|${model_data}/two_parts.KX2|${cli_work}/two_parts.KM2"
            OUTPUT ${cli_work}/two_parts.KM2 EXPECT ${cli_data}/two_parts.KM2)
kx_cli_test(roundtrip-part-way EXIT 1
            ARGS "roundtrip|${cli_data}/broken.KM2|${cli_work}/broken.KM2"
            OUTPUT ${cli_work}/broken.KM2 EXPECT ${cli_data}/broken_saved.KM2
            STDERR "broken.KM2:10: error")
kx_cli_test(roundtrip-not-a-library EXIT 2
            ARGS "roundtrip|${cli_data}/not_a_library.txt|${cli_work}/none.KM2"
            OUTPUT ${cli_work}/none.KM2 ABSENT)
kx_cli_test(roundtrip-unwritable EXIT 2
            ARGS "roundtrip|${model_data}/basic.KM2|${cli_work}/no/such/folder/x.KM2"
            STDERR "x.KM2: cannot write")

# What OUT may be: never a non-regular file, a schematic's name, or an input read in part.
kx_cli_test(roundtrip-to-folder EXIT 2 ARGS "roundtrip|${model_data}/basic.KM2|${cli_data}"
            STDERR "data: cannot write: Is a directory")
kx_cli_test(roundtrip-to-schematic-name EXIT 2
            ARGS "roundtrip|${model_data}/basic.KM2|${cli_work}/same.Kx2"
            OUTPUT ${cli_work}/same.Kx2 SEED ${model_data}/two_parts.KX2
            EXPECT ${model_data}/two_parts.KX2 STDERR "same.Kx2: cannot write: .*schematic")
kx_cli_test(roundtrip-part-way-onto-itself EXIT 1
            ARGS "roundtrip|${cli_work}/self.KM2|${cli_work}/self.KM2"
            OUTPUT ${cli_work}/self.KM2 SEED ${cli_data}/broken.KM2 EXPECT ${cli_data}/broken.KM2
            STDERR "self.KM2: not overwritten: it is the input, which was read only in part")
kx_cli_test(roundtrip-part-way-onto-itself-by-another-path EXIT 1
            ARGS "roundtrip|${cli_work}/self2.KM2|${cli_work}/../test-output/./self2.KM2"
            OUTPUT ${cli_work}/self2.KM2 SEED ${cli_data}/broken.KM2 EXPECT ${cli_data}/broken.KM2
            STDERR "not overwritten")
kx_cli_test(roundtrip-onto-itself EXIT 0 ARGS "roundtrip|${cli_work}/whole.KM2|${cli_work}/whole.KM2"
            OUTPUT ${cli_work}/whole.KM2 SEED ${model_data}/basic.KM2
            EXPECT ${model_data}/basic.KM2)

# A full standard output is an error, not a silent success.
foreach(command "list|${model_data}/basic.KM2" "--help" "--version")
    string(REGEX REPLACE "[|].*" "" shown "${command}")
    string(REPLACE "|" "' '" quoted "${command}")
    add_test(NAME pelm-cli.full-output${shown}
             COMMAND sh -c "'$<TARGET_FILE:pelm-cli>' '${quoted}' > /dev/full; echo exit=$?")
    set_tests_properties(pelm-cli.full-output${shown} PROPERTIES LABELS unit
        PASS_REGULAR_EXPRESSION "cannot write to standard output: No space.*exit=2")
endforeach()

# A read-only OUT in a folder anyone may write is refused for a user other than root.
add_test(NAME pelm-cli.roundtrip-read-only
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/tests/read_only_target.sh
                 $<TARGET_FILE:pelm-cli> ${model_data}/basic.KM2 ${cli_work}/read-only)
set_tests_properties(pelm-cli.roundtrip-read-only PROPERTIES LABELS unit SKIP_RETURN_CODE 77)

# Every bundled example loads; every example library is written back byte for byte.
file(GLOB example_libraries ${PROJECT_SOURCE_DIR}/examples/*.KM2)
foreach(example ${example_libraries})
    get_filename_component(name ${example} NAME)
    kx_cli_test(roundtrip-example-${name} EXIT 0
                ARGS "roundtrip|${example}|${cli_work}/example-${name}"
                OUTPUT ${cli_work}/example-${name} EXPECT ${example})
endforeach()
file(GLOB example_schematics ${PROJECT_SOURCE_DIR}/examples/*.KX2)
foreach(example ${example_schematics})
    get_filename_component(name ${example} NAME)
    kx_cli_test(list-example-${name} EXIT 0 ARGS "list|${example}" STDERR "^$")
endforeach()

# A large library (the tool readies its heap for those) round-trips byte for byte.
add_test(NAME pelm-cli.large-roundtrip
         COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:pelm-cli> -DWORK=${cli_work}/large
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/tests/large_roundtrip.cmake)
set_tests_properties(pelm-cli.large-roundtrip PROPERTIES LABELS slow)
