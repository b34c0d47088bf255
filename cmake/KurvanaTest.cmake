# kurvana_uses_build_modules(target): a program run inside the build folder (a test, a benchmark)
# that loads the modules from it. Only such programs hold the build folder's path.
function(kurvana_uses_build_modules target)
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/platform/buildtree/buildmodulefolder.cpp)
    target_link_libraries(${target} PRIVATE kurvana_platform)
    target_compile_definitions(${target} PRIVATE KURVANA_BUILD_MODULE_FOLDER="${CMAKE_BINARY_DIR}")
endfunction()

# kurvana_add_test(name SOURCES a.cpp ... LIBS lib ...): one QtTest executable per area, run
# headless by CTest.
function(kurvana_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test)
    kurvana_uses_build_modules(${name})
    target_compile_definitions(${name} PRIVATE
        KURVANA_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
        KURVANA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()
