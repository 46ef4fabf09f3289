# zentavo_add_test(NAME <name> SOURCES <files...> LIBRARIES <targets...> [QT] [DISPLAY])
#
# One gtest executable per unit. Every test runs with its own empty HOME,
# XDG_CONFIG_HOME and working folder (made by the shared test main), a fixed
# time zone and the C locale (so the texts are Portuguese), so no test can reach the real user's files.
# QT gives the test a QApplication. DISPLAY marks tests that need an X server; the test command runs the whole
# suite under xvfb-run, other tests get the offscreen platform.
function(zentavo_add_test)
    cmake_parse_arguments(ARG "QT;DISPLAY" "NAME" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    if(ARG_QT)
        set(support zentavo_test_support_qt)
    else()
        set(support zentavo_test_support)
    endif()
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBRARIES} ${support})
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
    set(environment "TZ=UTC" "LC_ALL=C.UTF-8" "LANG=C.UTF-8" "LANGUAGE=")
    if(ARG_DISPLAY)
        # They share one X server: one at a time, so none sees another's windows.
        set_tests_properties(${ARG_NAME} PROPERTIES LABELS display RUN_SERIAL TRUE)
    else()
        list(APPEND environment "QT_QPA_PLATFORM=offscreen")
    endif()
    set_tests_properties(${ARG_NAME} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 300)
endfunction()
