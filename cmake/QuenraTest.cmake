# One place that registers a QtTest executable with CTest. Every test runs offscreen, in the
# C locale's opposite (a UTF-8 locale is what users have). LOCALE runs it in another locale;
# EXECUTABLE runs an existing test program again (under LOCALE) instead of building one.
function(quenra_add_test name)
    cmake_parse_arguments(T "" "LOCALE;EXECUTABLE" "SOURCES;LIBS" ${ARGN})
    if(T_EXECUTABLE)
        set(program ${T_EXECUTABLE})
    else()
        set(program ${name})
        add_executable(${name} ${T_SOURCES})
        target_link_libraries(${name} PRIVATE Qt6::Test quenra_testsupport ${T_LIBS})
        if(WIN32 AND CMAKE_CROSSCOMPILING)
            # Under Wine, with the test log printed (see the script).
            set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/cmake/wine-test.sh)
        endif()
    endif()
    if(NOT T_LOCALE)
        set(T_LOCALE C.UTF-8)
    endif()
    add_test(NAME ${name} COMMAND ${program})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=${T_LOCALE};LC_ALL=${T_LOCALE};QUENRA_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
        TIMEOUT 300)
endfunction()
