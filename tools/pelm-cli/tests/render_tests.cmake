# pelm-cli render: options, exit status, the files it writes. Included in Qt builds only.
set(examples ${PROJECT_SOURCE_DIR}/examples)
kx_cli_test(render-png EXIT 0 ARGS "render|${examples}/Example.KM2|74HC00|-o|${cli_work}/r.png"
            OUTPUT ${cli_work}/r.png STDERR "^$")
kx_cli_test(render-svg EXIT 0
            ARGS "render|${examples}/Example.KM2|74HC00|-o|${cli_work}/r.svg|--zoom|2|--no-grid"
            OUTPUT ${cli_work}/r.svg STDERR "^$")
kx_cli_test(render-part-way EXIT 1
            ARGS "render|${cli_data}/broken.KM2|50%|-o|${cli_work}/broken.png"
            OUTPUT ${cli_work}/broken.png STDERR "broken.KM2:10: error:")
kx_cli_test(render-missing-entry EXIT 2
            ARGS "render|${examples}/Example.KM2|NOPE|-o|${cli_work}/nope.png"
            OUTPUT ${cli_work}/nope.png ABSENT STDERR "no entry named 'NOPE'")
kx_cli_test(render-bad-zoom EXIT 2
            ARGS "render|${examples}/Example.KM2|74HC00|-o|${cli_work}/z.png|--zoom|3"
            OUTPUT ${cli_work}/z.png ABSENT STDERR "--zoom must be 1, 2, 5 or 10")
kx_cli_test(render-no-output EXIT 2 ARGS "render|${examples}/Example.KM2|74HC00"
            STDERR "-o OUT.png or -o OUT.svg is required")
kx_cli_test(render-bad-extension EXIT 2
            ARGS "render|${examples}/Example.KM2|74HC00|-o|${cli_work}/r.bmp"
            OUTPUT ${cli_work}/r.bmp ABSENT STDERR "must end in .png or .svg")
kx_cli_test(render-unreadable EXIT 2 ARGS "render|${cli_data}/missing.KM2|A|-o|${cli_work}/m.png"
            OUTPUT ${cli_work}/m.png ABSENT STDERR "cannot open")
