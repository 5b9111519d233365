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

# kx_core_library(NAME DIR DEPS...) builds a static library from every .cpp of DIR
# (tests excluded) and, when tests are on, one GoogleTest binary from DIR/tests.
function(kx_core_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;TEST_DEPS" ${ARGN})
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(srcs)
        add_library(${name} STATIC ${srcs})
        target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    if(srcs)
        target_link_libraries(${name} PUBLIC kx_options ${ARG_DEPS})
    else()
        target_link_libraries(${name} INTERFACE kx_options ${ARG_DEPS})
    endif()
    if(KX_BUILD_TESTS)
        file(GLOB tsrcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
        if(tsrcs)
            add_executable(test_${name} ${tsrcs})
            target_link_libraries(test_${name} PRIVATE ${name} ${ARG_TEST_DEPS}
                                  GTest::gtest GTest::gtest_main GTest::gmock)
            target_compile_definitions(test_${name} PRIVATE
                KX_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data"
                KX_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
            add_test(NAME ${name} COMMAND test_${name})
            set_tests_properties(${name} PROPERTIES LABELS unit)
        endif()
    endif()
endfunction()
