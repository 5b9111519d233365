# Icons: the SVG for every size, and PNG files of the common sizes for menus and file managers
# that do not draw SVG, drawn from the same SVG at build time.
set(kx_icon_sizes 16 24 32 48 64 128 256)
set(kx_icons "")
if(TARGET pelm)
    list(APPEND kx_icons apps:pelm:${PROJECT_SOURCE_DIR}/pelm/app/data/icons/pelm.svg
         mimetypes:application-x-korvex-library:${PROJECT_SOURCE_DIR}/pelm/app/data/icons/application-x-korvex-library.svg
         mimetypes:application-x-korvex-schematic:${PROJECT_SOURCE_DIR}/pelm/app/data/icons/application-x-korvex-schematic.svg)
endif()
if(TARGET delvix)
    list(APPEND kx_icons apps:delvix:${PROJECT_SOURCE_DIR}/delvix/app/window/delvix.svg)
endif()
if(TARGET kxview)
    list(APPEND kx_icons apps:kxview:${CMAKE_CURRENT_SOURCE_DIR}/icons/kxview.svg)
endif()
if(NOT kx_icons)
    return()
endif()

add_executable(kx_svgpng svgpng/main.cpp)
target_link_libraries(kx_svgpng PRIVATE Qt6::Gui Qt6::Svg)
set(png_root ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(pngs "")
foreach(entry IN LISTS kx_icons)
    string(REPLACE ":" ";" parts "${entry}")
    list(GET parts 0 context)
    list(GET parts 1 name)
    list(GET parts 2 svg)
    set(outputs "")
    foreach(size IN LISTS kx_icon_sizes)
        list(APPEND outputs ${png_root}/${context}/${size}x${size}/${name}.png)
    endforeach()
    add_custom_command(OUTPUT ${outputs}
                       COMMAND kx_svgpng ${svg} ${png_root}/${context} ${name} ${kx_icon_sizes}
                       DEPENDS kx_svgpng ${svg} VERBATIM)
    list(APPEND pngs ${outputs})
    foreach(size IN LISTS kx_icon_sizes)
        install(FILES ${png_root}/${context}/${size}x${size}/${name}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/${context})
    endforeach()
endforeach()
add_custom_target(kx_icon_pngs ALL DEPENDS ${pngs})
