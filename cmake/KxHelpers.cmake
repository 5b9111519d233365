# Shared compile options: one interface target every project target links.
add_library(kx_options INTERFACE)
target_compile_options(kx_options INTERFACE -Wall -Wextra)
# GCC 12 reports false -Wrestrict overlaps inside std::string concatenation at -O2 and above.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(kx_options INTERFACE -Wno-restrict)
endif()
if(KX_WERROR)
    target_compile_options(kx_options INTERFACE -Werror)
endif()

# Libraries are included path-qualified ("model/SCompLib.h"), so a library's include root is the
# folder above it. Headers in DIR/private/ are for the library itself and its own tests.
function(kx_library_sources name kind out_srcs)
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
                                     ${CMAKE_CURRENT_SOURCE_DIR}/private/*.cpp)
    set(${out_srcs} ${srcs} PARENT_SCOPE)
endfunction()

function(kx_add_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;SOURCES" ${ARGN})
    get_filename_component(root ${CMAKE_CURRENT_SOURCE_DIR} DIRECTORY)
    if(ARG_SOURCES)
        add_library(${name} STATIC ${ARG_SOURCES})
        target_include_directories(${name} PUBLIC ${root})
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/private)
            target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/private)
        endif()
        target_link_libraries(${name} PUBLIC kx_options ${ARG_DEPS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${root})
        target_link_libraries(${name} INTERFACE kx_options ${ARG_DEPS})
    endif()
endfunction()

# kx_register_tests(NAME BINARY [SLOW suite-pattern]) registers BINARY with CTest under label
# "unit"; test suites matching the SLOW gtest pattern run as a second entry labelled "slow".
function(kx_register_tests name binary)
    cmake_parse_arguments(ARG "" "SLOW;LABEL" "" ${ARGN})
    if(NOT ARG_LABEL)
        set(ARG_LABEL unit)
    endif()
    if(ARG_SLOW)
        add_test(NAME ${name} COMMAND ${binary} --gtest_filter=-${ARG_SLOW})
        add_test(NAME ${name}.slow COMMAND ${binary} --gtest_filter=${ARG_SLOW})
        set_tests_properties(${name}.slow PROPERTIES LABELS slow)
    else()
        add_test(NAME ${name} COMMAND ${binary})
    endif()
    set_tests_properties(${name} PROPERTIES LABELS ${ARG_LABEL})
endfunction()

# kx_core_library(NAME DEPS... [TEST_DEPS...] [SLOW_TESTS pattern]) builds a plain C++ static
# library from every .cpp of DIR and DIR/private (tests excluded) and, when tests are on, one
# GoogleTest binary from DIR/tests.
function(kx_core_library name)
    cmake_parse_arguments(ARG "" "SLOW_TESTS" "DEPS;TEST_DEPS" ${ARGN})
    kx_library_sources(${name} core srcs)
    kx_add_library(${name} SOURCES ${srcs} DEPS ${ARG_DEPS})
    set_property(GLOBAL APPEND PROPERTY KX_CORE_TARGETS ${name})
    if(KX_BUILD_TESTS)
        file(GLOB tsrcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
        if(tsrcs)
            add_executable(test_${name} ${tsrcs})
            target_link_libraries(test_${name} PRIVATE ${name} ${ARG_TEST_DEPS}
                                  GTest::gtest GTest::gtest_main GTest::gmock)
            if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/private)
                target_include_directories(test_${name} PRIVATE
                                           ${CMAKE_CURRENT_SOURCE_DIR}/private)
            endif()
            target_compile_definitions(test_${name} PRIVATE
                KX_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data"
                KX_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
            kx_register_tests(${name} test_${name} SLOW "${ARG_SLOW_TESTS}")
        endif()
    endif()
endfunction()

# kx_qt_library(NAME DEPS... [TEST_DEPS...]) builds a Qt Widgets static library from every .cpp
# of DIR and DIR/private (with moc, rcc for any .qrc) and, when tests are on, one QtTest binary
# per DIR/tests/tst_*.cpp, run headless with the label "gui".
function(kx_qt_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;TEST_DEPS" ${ARGN})
    kx_library_sources(${name} qt srcs)
    file(GLOB qrcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    file(GLOB hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h
                                     ${CMAKE_CURRENT_SOURCE_DIR}/private/*.h)
    kx_add_library(${name} SOURCES ${srcs} ${hdrs} ${qrcs} DEPS Qt6::Widgets ${ARG_DEPS})
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    if(KX_BUILD_TESTS)
        file(GLOB tsrcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/tst_*.cpp)
        foreach(tsrc ${tsrcs})
            get_filename_component(tname ${tsrc} NAME_WE)
            set(target ${name}_${tname})
            add_executable(${target} ${tsrc})
            set_target_properties(${target} PROPERTIES AUTOMOC ON)
            target_link_libraries(${target} PRIVATE ${name} ${ARG_TEST_DEPS} Qt6::Test)
            if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/private)
                target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/private)
            endif()
            target_compile_definitions(${target} PRIVATE
                KX_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data"
                KX_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
            add_test(NAME ${target} COMMAND ${target})
            set_tests_properties(${target} PROPERTIES LABELS gui
                ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
        endforeach()
    endif()
endfunction()

# The core is plain C++: fail the configure step if any core library reaches Qt.
function(kx_check_core_has_no_qt)
    get_property(core GLOBAL PROPERTY KX_CORE_TARGETS)
    foreach(t ${core})
        set(pending ${t})
        set(seen "")
        while(pending)
            list(POP_FRONT pending cur)
            if(cur IN_LIST seen OR NOT TARGET ${cur})
                continue()
            endif()
            list(APPEND seen ${cur})
            if(cur MATCHES "^Qt")
                message(FATAL_ERROR "Core library ${t} links ${cur}; the core must stay Qt-free")
            endif()
            get_target_property(type ${cur} TYPE)
            if(type STREQUAL "INTERFACE_LIBRARY")
                get_target_property(deps ${cur} INTERFACE_LINK_LIBRARIES)
            else()
                get_target_property(deps ${cur} LINK_LIBRARIES)
            endif()
            if(deps)
                list(APPEND pending ${deps})
            endif()
        endwhile()
    endforeach()
endfunction()
