# A core library made of every .cpp in its folder; a folder without sources yet
# gives an interface library so dependents still configure.
function(rp57_core_library name)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
    endif()
endfunction()

# One GoogleTest executable per tests/ folder.
# SHARDS n runs the suite as n tests of its own (a gtest shard each), so that
# suites which mostly wait on the paced serial line run side by side.
function(rp57_gtest name)
    cmake_parse_arguments(ARG "" "SHARDS" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest_main GTest::gtest)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    if(ARG_SHARDS AND ARG_SHARDS GREATER 1)
        math(EXPR last "${ARG_SHARDS} - 1")
        foreach(shard RANGE ${last})
            add_test(NAME ${name}_${shard} COMMAND ${name} --gtest_brief=1)
            # A waiting shard starts before the quick suites, so they fill the gaps.
            set_tests_properties(${name}_${shard} PROPERTIES TIMEOUT 600 COST 100 ENVIRONMENT
                "GTEST_TOTAL_SHARDS=${ARG_SHARDS};GTEST_SHARD_INDEX=${shard}")
        endforeach()
    else()
        add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
        set_tests_properties(${name} PROPERTIES TIMEOUT 600)
    endif()
endfunction()
