# One place that registers a QtTest executable with CTest. Every test runs offscreen, in the
# C locale's opposite (a UTF-8 locale is what users have; tests that need LANG=C set it themselves).
function(quenra_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test quenra_testsupport ${T_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;QUENRA_TEST_SERVER=${PROJECT_SOURCE_DIR}/scripts/catalog_server.py;QUENRA_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
        TIMEOUT 300)
endfunction()
