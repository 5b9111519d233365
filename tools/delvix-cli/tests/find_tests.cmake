# Registers the tests of "delvix-cli find" (included by the tool's CMakeLists.txt).
if(KX_BUILD_TESTS)
    add_test(NAME delvix-cli.find
             COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:delvix-cli>
                     -DWORK=${CMAKE_CURRENT_BINARY_DIR}/find-test
                     -P ${CMAKE_CURRENT_LIST_DIR}/find_test.cmake)
    set_tests_properties(delvix-cli.find PROPERTIES LABELS unit)
endif()
