# zentavo_add_fuzzer(NAME <name> SOURCES <files...> [LIBRARIES <targets...>]
#                    [INCLUDES <folders...>] [CORPUS <folder>])
#
# One libFuzzer target, built only in a tree configured with ZENTAVO_FUZZ=ON
# and clang (scripts/fuzz does both), with the address and undefined-behaviour
# sanitisers. CORPUS is the folder of seed inputs beside the target; the
# fuzzer never writes into it. The targets are listed in fuzzers.list of the
# build tree for scripts/fuzz to run.
add_custom_target(zentavo_fuzzers)
file(WRITE ${PROJECT_BINARY_DIR}/fuzzers.list "")

function(zentavo_add_fuzzer)
    cmake_parse_arguments(ARG "" "NAME;CORPUS" "SOURCES;LIBRARIES;INCLUDES" ${ARGN})
    set(sanitisers -fsanitize=fuzzer,address,undefined)
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_compile_options(${ARG_NAME} PRIVATE ${sanitisers} -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    target_link_options(${ARG_NAME} PRIVATE ${sanitisers})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBRARIES})
    target_include_directories(${ARG_NAME} PRIVATE ${ARG_INCLUDES})
    set_target_properties(${ARG_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzzers)
    add_dependencies(zentavo_fuzzers ${ARG_NAME})
    if(ARG_CORPUS)
        get_filename_component(corpus ${ARG_CORPUS} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    else()
        set(corpus "")
    endif()
    file(APPEND ${PROJECT_BINARY_DIR}/fuzzers.list "${ARG_NAME}|${corpus}\n")
endfunction()
