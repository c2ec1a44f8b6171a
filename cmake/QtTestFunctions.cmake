# Run after a QtTest program is built: asks it for its test functions (-functions) and writes
# one ctest test per function into OUTPUT, so that ctest counts and names each function as
# gtest_discover_tests does for GoogleTest. Each runs on the offscreen platform.
#   cmake -D TEST_EXECUTABLE=... -D TEST_PREFIX=... -D OUTPUT=...
#         [-D TEST_EMULATOR=...] -P QtTestFunctions.cmake
set(ENV{QT_QPA_PLATFORM} offscreen)
execute_process(
    COMMAND ${TEST_EMULATOR} "${TEST_EXECUTABLE}" -functions
    OUTPUT_VARIABLE listing
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TEST_EXECUTABLE} -functions failed (${status}):\n${errors}")
endif()

string(REPLACE "\n" ";" lines "${listing}")
set(script "")
set(count 0)
foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)\\(\\)$")
        set(function "${CMAKE_MATCH_1}")
        set(test "${TEST_PREFIX}.${function}")
        string(APPEND script "add_test([=[${test}]=] ${TEST_EMULATOR} [=[${TEST_EXECUTABLE}]=] "
                             "[=[${function}]=])\n"
                             "set_tests_properties([=[${test}]=] PROPERTIES ENVIRONMENT "
                             "[=[QT_QPA_PLATFORM=offscreen;QTEST_FUNCTION_TIMEOUT=60000]=])\n")
        math(EXPR count "${count} + 1")
    endif()
endforeach()
if(count EQUAL 0)
    message(FATAL_ERROR "${TEST_EXECUTABLE} -functions listed no test function:\n${listing}")
endif()
file(WRITE "${OUTPUT}" "${script}")
