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
