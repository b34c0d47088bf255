# kurvana_add_test(name SOURCES a.cpp ... LIBS lib ...): one QtTest executable per area, run
# headless by CTest.
function(kurvana_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test)
    target_compile_definitions(${name} PRIVATE
        KURVANA_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
        KURVANA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()
