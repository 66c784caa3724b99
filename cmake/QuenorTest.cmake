# quenor_add_test(<name> SOURCES <files...> LIBS <targets...>)
#
# Builds one QTest executable and registers it with CTest. Every test runs
# headless (offscreen platform) with its own HOME, so that no test reaches the
# settings or files of the user who runs it.
function(quenor_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set(home "${CMAKE_CURRENT_BINARY_DIR}/${name}.home")
    file(MAKE_DIRECTORY "${home}")
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_CONFIG_HOME=${home}/.config"
        TIMEOUT 300)
endfunction()
