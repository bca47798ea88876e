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

# The sample help files live beside the repository, not in it: a fresh clone has none. Without
# them the tests that read them are left out of their programs and reported as skipped ctest
# entries of their own, so the summary says what did not run instead of passing without it.
# scripts/build.sh reconfigures a folder when the samples come or go.
set(TARNWICK_SAMPLES_FOUND TRUE)
foreach(sample topics.classic example combined combined2)
    if(NOT EXISTS "${TARNWICK_CORPUS_DIR}/${sample}.chm")
        set(TARNWICK_SAMPLES_FOUND FALSE)
    endif()
endforeach()
if(NOT TARNWICK_SAMPLES_FOUND)
    message(STATUS "No sample help files in ${TARNWICK_CORPUS_DIR}: the tests that read them are reported as skipped")
endif()

# tarnwick_skipped_test(NAME WHAT): a ctest entry that counts as skipped and says what it stands for
# (ctest -V shows it). A host command, so the Windows builds put no emulator in front of it.
function(tarnwick_skipped_test name what)
    add_test(NAME ${name} COMMAND /bin/sh -c "echo \"$0\"; exit 77" "skipped: ${what}")
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()

# tarnwick_add_gtest(NAME SOURCES ... [LIBRARIES ...] [FIXTURES_REQUIRED ...] [SAMPLE_TESTS ...])
#
# One program, registered as ONE ctest entry: under Wine each process costs seconds, so test cases
# are grouped into a few programs instead of one ctest entry per case. The program finds the test
# data through the environment (TARNWICK_CORPUS, TARNWICK_FIXTURES) and, when started by hand,
# through compile definitions of the same names. SAMPLE_TESTS names (as --gtest_filter patterns)
# the tests that read the sample files: without the samples the program runs without them and
# NAME_samples reports them skipped.
function(tarnwick_add_gtest name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBRARIES;FIXTURES_REQUIRED;SAMPLE_TESTS")
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

    if(arg_SAMPLE_TESTS AND NOT TARNWICK_SAMPLES_FOUND)
        list(JOIN arg_SAMPLE_TESTS ":" sample_tests)
        add_test(NAME ${name} COMMAND ${name} --gtest_filter=-${sample_tests})
        tarnwick_skipped_test(${name}_samples "${sample_tests} need the sample help files in ${TARNWICK_CORPUS_DIR}")
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
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

# tarnwick_include_root(TARGET FOLDER [NAME])
#
# Files include each other as "NAME/File.h". Every library gets a root of its own in the build
# folder, holding only a link named NAME to its folder, and passes that root on to those that link
# it: a file can include a library's headers only if its own library links that library, so the
# layers stay as the links say. NAME is the folder's own name unless given.
function(tarnwick_include_root target folder)
    get_filename_component(name "${folder}" NAME)
    if(ARGC GREATER 2)
        set(name "${ARGV2}")
    endif()
    set(root "${CMAKE_BINARY_DIR}/include-roots/${name}")
    file(MAKE_DIRECTORY "${root}")
    file(CREATE_LINK "${folder}" "${root}/${name}" SYMBOLIC)
    target_include_directories(${target} PUBLIC "${root}")
endfunction()
