# Adds a folder only once someone has put a CMakeLists.txt in it, so the skeleton builds before
# the cli, the benchmarks and the fuzz targets exist.
function(tarnwick_optional_subdirectory dir)
    if(EXISTS "${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt")
        add_subdirectory("${dir}")
    endif()
endfunction()

# The form of a build-machine path that the test program itself can open. Windows programs run
# under Wine, which maps the Unix root to drive Z:; handing them "/work/..." would make
# std::filesystem treat the path as relative.
function(tarnwick_target_path out path)
    if(WIN32 AND CMAKE_CROSSCOMPILING)
        set(${out} "Z:${path}" PARENT_SCOPE)
    else()
        set(${out} "${path}" PARENT_SCOPE)
    endif()
endfunction()

# tarnwick_add_gtest(NAME SOURCES ... [LIBRARIES ...] [FIXTURES_REQUIRED ...])
#
# One program, registered as ONE ctest entry: under Wine each process costs seconds, so test cases
# are grouped into a few programs instead of one ctest entry per case. The program finds the test
# data through the environment (TARNWICK_CORPUS, TARNWICK_FIXTURES) and, when started by hand,
# through compile definitions of the same names.
function(tarnwick_add_gtest name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBRARIES;FIXTURES_REQUIRED")
    if(NOT arg_SOURCES)
        message(FATAL_ERROR "tarnwick_add_gtest(${name}): no SOURCES")
    endif()
    tarnwick_target_path(corpus "${TARNWICK_CORPUS_DIR}")
    tarnwick_target_path(fixtures "${TARNWICK_FIXTURES_DIR}")

    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} tarnwick_test_support GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        TARNWICK_CORPUS="${corpus}"
        TARNWICK_FIXTURES="${fixtures}")

    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "TARNWICK_CORPUS=${corpus};TARNWICK_FIXTURES=${fixtures}"
        # Above scripts/wine-run.sh's own limit, so a hung Windows test is reported by the wrapper.
        TIMEOUT 600)
    if(arg_FIXTURES_REQUIRED)
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${arg_FIXTURES_REQUIRED}")
    endif()
endfunction()

# tarnwick_add_fuzzer(NAME SOURCES ... [LIBRARIES ...])  (only in a TARNWICK_FUZZ build)
function(tarnwick_add_fuzzer name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBRARIES")
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
