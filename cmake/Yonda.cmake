# Build options and the helpers every module uses to declare its tests, fuzzers and benchmarks.

option(YONDA_WERROR "Treat warnings as errors" OFF)
option(YONDA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(YONDA_FUZZ "Build fuzz targets with libFuzzer (needs clang)" OFF)
option(YONDA_BENCH "Build the benchmarks" ON)

add_compile_options(-Wall -Wextra -Wno-unused-parameter)

# Compiles are cached and shared between checkouts of the tree: paths below the source folder
# are hashed relative to it.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(YONDA_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1
    CCACHE_SLOPPINESS=include_file_mtime,include_file_ctime ${CCACHE_PROGRAM})
  set(CMAKE_C_COMPILER_LAUNCHER ${YONDA_LAUNCHER})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${YONDA_LAUNCHER})
endif()
if(YONDA_WERROR)
  add_compile_options(-Werror)
endif()
if(YONDA_FUZZ)
  # Every library is instrumented for coverage, so the fuzzer sees inside what it feeds.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
if(YONDA_SANITIZE OR YONDA_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Programs and tests find the platform and engine libraries next to them in the build tree and
# in ../lib once installed.
set(CMAKE_BUILD_RPATH_USE_ORIGIN ON)
set(CMAKE_INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

include(${CMAKE_CURRENT_LIST_DIR}/Dependencies.cmake)

# yonda_test(NAME SOURCES... [LIBS libs...] [LABELS labels...])
# One GoogleTest program; its cases are listed when CTest runs, labelled "unit" unless told.
function(yonda_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  # The test program runs through `cmake -E env`, which hands it the tree's two folders; a list
  # in the test's ENVIRONMENT property would not survive test discovery.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "${CMAKE_COMMAND};-E;env;YONDA_SOURCE_DIR=${PROJECT_SOURCE_DIR};YONDA_BINARY_DIR=${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    PROPERTIES LABELS "${T_LABELS}")
endfunction()

# yonda_e2e_test(NAME PROGRAM target SOURCES... [LIBS libs...])
# An end-to-end GoogleTest program (label "e2e") whose EndToEndTest fixture (tests/e2e/harness)
# launches the program `target` against yonda-service.
function(yonda_e2e_test name)
  cmake_parse_arguments(E "" "PROGRAM" "SOURCES;LIBS" ${ARGN})
  yonda_test(${name} SOURCES ${E_SOURCES} ${E_UNPARSED_ARGUMENTS} LIBS yonda-e2e ${E_LIBS} LABELS e2e)
  target_compile_definitions(${name} PRIVATE YONDA_E2E_PROGRAM="$<TARGET_FILE:${E_PROGRAM}>")
  add_dependencies(${name} ${E_PROGRAM} yonda-service yonda-settings)
endfunction()

# yonda_fuzzer(NAME SOURCES... [LIBS libs...] CORPUS dir)
# A libFuzzer target (LLVMFuzzerTestOneInput). With YONDA_FUZZ it links libFuzzer; otherwise it
# links a driver that replays the corpus, and CTest replays it as a regression test.
function(yonda_fuzzer name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES} ${F_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzz)
  if(YONDA_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/fuzz_replay_main.cpp)
  endif()
  add_test(NAME fuzz.${name} COMMAND ${name} ${F_CORPUS})
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz)
endfunction()

# yonda_bench(NAME SOURCES... [LIBS libs...]): a Google Benchmark program, built, never a test.
function(yonda_bench name)
  if(NOT YONDA_BENCH)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES} ${B_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endfunction()

# yonda_pkgconfig(NAME DESCRIPTION LIBS REQUIRES): installs lib/pkgconfig/NAME.pc for host
# programs. It is written while installing, with the absolute folder the tree goes to, so that
# its flags (and the runpath they set) hold wherever a program is built and started from.
function(yonda_pkgconfig name description libs requires)
  set(PC_NAME ${name})
  set(PC_DESCRIPTION ${description})
  set(PC_LIBS ${libs})
  set(PC_REQUIRES ${requires})
  set(PC_PREFIX "@PC_PREFIX@")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/library.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${name}.pc.in @ONLY)
  install(CODE "
    get_filename_component(PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
    set(pc_file \"\$ENV{DESTDIR}\${PC_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig/${name}.pc\")
    message(STATUS \"Installing: \${pc_file}\")
    configure_file(\"${CMAKE_CURRENT_BINARY_DIR}/${name}.pc.in\" \"\${pc_file}\" @ONLY)")
endfunction()

# The program's home folder (where the program file, its settings, "Data\" and "Skin\" live):
# in the build tree a ready-to-run image of it, and its place in the installed tree, where
# bin/ links to the programs inside it.
set(YONDA_HOME_DIR ${PROJECT_BINARY_DIR}/yonda)
set(YONDA_INSTALL_HOME ${CMAKE_INSTALL_LIBDIR}/yonda)
