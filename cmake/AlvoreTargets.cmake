# Compiler settings shared by every target of the project.
add_library(alvore_options INTERFACE)
target_compile_options(alvore_options INTERFACE -Wall -Wextra -Wpedantic -Werror)
target_compile_definitions(alvore_options INTERFACE QT_NO_KEYWORDS)
if(ALVORE_SANITIZE)
    target_compile_options(alvore_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(alvore_options INTERFACE -fsanitize=address,undefined)
endif()

# alvore_library(<name> LIBS ...): a static library of every source file in the current folder
# and its sub-folders.
function(alvore_library name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC alvore_options ${ARG_LIBS})
endfunction()

# alvore_tests(<area> [SCRATCH] LIBS ...): one test executable per tst_*.cpp in tests/<area> and
# its sub-folders, named <area>.<stem> (stems are unique within an area).
# With SCRATCH each test gets a home, state and config folder of its own in the build tree, so
# tests that run side by side never read each other's log or autostart entries.
function(alvore_tests area)
    cmake_parse_arguments(ARG "SCRATCH" "" "LIBS;ENVIRONMENT" ${ARGN})
    file(GLOB_RECURSE tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    foreach(source ${tests})
        get_filename_component(stem ${source} NAME_WE)
        string(REPLACE "tst_" "" short ${stem})
        set(target ${area}_${short})
        add_executable(${target} ${source})
        target_link_libraries(${target} PRIVATE alvore_test_support Qt6::Test ${ARG_LIBS})
        add_test(NAME ${area}.${short} COMMAND ${target})
        set(environment ${ARG_ENVIRONMENT})
        if(ARG_SCRATCH)
            set(scratch ${CMAKE_CURRENT_BINARY_DIR}/scratch/${short})
            list(APPEND environment HOME=${scratch}/home XDG_STATE_HOME=${scratch}/state
                XDG_CONFIG_HOME=${scratch}/config)
        endif()
        set_tests_properties(${area}.${short} PROPERTIES
            TIMEOUT 120
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ALVORE_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data;${environment}")
    endforeach()
endfunction()
