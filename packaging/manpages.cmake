# Manual pages, made at build time from each program's --help text (man/manpage.cmake); the
# test "package.manpage.<name>" fails once a page no longer matches its program's --help.
find_program(KX_GZIP gzip)
set(kx_man_summary_pelm-cli "read and convert Korvex component libraries")
set(kx_man_summary_delvix-cli "read and search Korvex schematics")
set(kx_man_summary_kxview "show Korvex schematics and the hits clicked in Delvix")
set(kx_man_summary_korvex-peer "stand in for the schematic editor in Delvix's hand-off")
set(kx_man_subcommands_delvix-cli dump,find)
if(TARGET kx_sheetrender)
    set(kx_man_subcommands_delvix-cli dump,find,render)
endif()

set(man_pages "")
foreach(program pelm-cli delvix-cli kxview korvex-peer)
    if(NOT TARGET ${program})
        continue()
    endif()
    set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.1)
    set(args -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${program}
             "-DSUMMARY=${kx_man_summary_${program}}" -DVERSION=${PROJECT_VERSION}
             -DSUBCOMMANDS=${kx_man_subcommands_${program}} -DOUT=${page}
             -P ${CMAKE_CURRENT_SOURCE_DIR}/man/manpage.cmake)
    add_custom_command(OUTPUT ${page}
                       COMMAND ${CMAKE_COMMAND} -DMODE=write ${args}
                       DEPENDS ${program} ${CMAKE_CURRENT_SOURCE_DIR}/man/manpage.cmake
                       COMMENT "Manual page of ${program}" VERBATIM)
    if(KX_GZIP)
        # Debian keeps manual pages compressed, without a time stamp in the archive.
        add_custom_command(OUTPUT ${page}.gz
                           COMMAND ${KX_GZIP} -9nkf ${page} DEPENDS ${page} VERBATIM)
        list(APPEND man_pages ${page}.gz)
    else()
        list(APPEND man_pages ${page})
    endif()
    add_test(NAME package.manpage.${program} COMMAND ${CMAKE_COMMAND} -DMODE=check ${args})
    set_tests_properties(package.manpage.${program} PROPERTIES LABELS unit)
endforeach()
# The two window programs take no options, so their pages are written by hand.
foreach(program pelm delvix)
    if(TARGET ${program})
        set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.1)
        configure_file(man/${program}.1 ${page} COPYONLY)
        if(KX_GZIP)
            add_custom_command(OUTPUT ${page}.gz COMMAND ${KX_GZIP} -9nkf ${page}
                               DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/man/${program}.1 VERBATIM)
            set(page ${page}.gz)
        endif()
        list(APPEND man_pages ${page})
    endif()
endforeach()
if(man_pages)
    add_custom_target(kx_manpages ALL DEPENDS ${man_pages})
    install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
