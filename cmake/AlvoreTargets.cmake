# Compiler settings shared by every target of the project.
add_library(alvore_options INTERFACE)
target_compile_options(alvore_options INTERFACE -Wall -Wextra -Wpedantic -Werror)
target_compile_definitions(alvore_options INTERFACE QT_NO_KEYWORDS)
if(ALVORE_SANITIZE)
    target_compile_options(alvore_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(alvore_options INTERFACE -fsanitize=address,undefined)
endif()

# alvore_library(<name> <dir> LIBS ...): a static library of every source file in <dir>.
function(alvore_library name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC alvore_options ${ARG_LIBS})
endfunction()

# alvore_tests(<area> LIBS ...): one test executable per tst_*.cpp in tests/<area>.
function(alvore_tests area)
    cmake_parse_arguments(ARG "" "" "LIBS;ENVIRONMENT" ${ARGN})
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    foreach(source ${tests})
        get_filename_component(stem ${source} NAME_WE)
        string(REPLACE "tst_" "" short ${stem})
        set(target ${area}_${short})
        add_executable(${target} ${source})
        target_link_libraries(${target} PRIVATE alvore_test_support Qt6::Test ${ARG_LIBS})
        add_test(NAME ${area}.${short} COMMAND ${target})
        set_tests_properties(${area}.${short} PROPERTIES
            TIMEOUT 120
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ALVORE_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data;${ARG_ENVIRONMENT}")
    endforeach()
endfunction()
