# vx_library(NAME SOURCES ... [DEPS ...])
#   A layer library; its headers are included from the source root
#   (#include "platform/rtl/sysutils.h", #include "tables/dbf/xbo_dbasedbf.h").
#   Static, unless VX_SHARED_LAYERS is on: then every program links one
#   shared copy of each layer instead of carrying its own.
function(vx_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  if(VX_SHARED_LAYERS)
    add_library(${name} SHARED ${A_SOURCES})
  else()
    add_library(${name} STATIC ${A_SOURCES})
  endif()
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  if(A_DEPS)
    target_link_libraries(${name} PUBLIC ${A_DEPS})
  endif()
endfunction()

# vx_test(NAME SOURCES ... [DEPS ...] [LABELS ...])
#   A GoogleTest program; each TEST becomes a ctest test. Tests run with the
#   build folder's "testdata" as scratch space (VX_TEST_TMP) and the source
#   root in VX_SOURCE_DIR.
function(vx_test name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    VX_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VX_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # The test discovery passes its properties on as a flat list, so a
  # property holds one value only; the Qt platform is set by the runner.
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR env QT_QPA_PLATFORM=offscreen)
  set(props ENVIRONMENT "VX_TEST_TMP=${CMAKE_BINARY_DIR}/testdata")
  if(A_LABELS)
    list(APPEND props LABELS "${A_LABELS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()

# vx_xvfb_test(NAME SCREEN WxH COMMAND program-or-VAR=value ...)
#   A test run under a real X server (Xvfb) with a screen of WxH pixels and
#   Qt on its X11 platform; label "gui". VAR=value words before the program
#   go into its environment.
function(vx_xvfb_test name)
  cmake_parse_arguments(A "" "SCREEN" "COMMAND" ${ARGN})
  add_test(NAME ${name}
    COMMAND ${VX_XVFB_RUN} -a -s "-screen 0 ${A_SCREEN}x24" env QT_QPA_PLATFORM=xcb ${A_COMMAND})
  set_tests_properties(${name} PROPERTIES LABELS gui TIMEOUT 120)
endfunction()

# vx_fuzz(NAME SOURCES ... [DEPS ...] CORPUS dir [SECONDS n] [MALLOC_LIMIT_MB n] [RSS_LIMIT_MB n])
#   A fuzz entry point (LLVMFuzzerTestOneInput). With VX_LIBFUZZER=ON (clang)
#   it builds as a libFuzzer program, and every library it links is
#   instrumented too (see the top-level CMakeLists.txt); otherwise it links
#   with a small driver that replays every file of the corpus folder and
#   then runs random mutations of them for SECONDS (default 10). Either way
#   a ctest test (label "fuzz") runs it on the checked-in corpus; libFuzzer
#   keeps what it finds in the build folder, never in the corpus folder.
#   MALLOC_LIMIT_MB fails the run on a single allocation above that size,
#   RSS_LIMIT_MB when the program holds more than that in all.
function(vx_fuzz name)
  cmake_parse_arguments(A "" "CORPUS;SECONDS;MALLOC_LIMIT_MB;RSS_LIMIT_MB" "SOURCES;DEPS" ${ARGN})
  if(NOT A_SECONDS)
    set(A_SECONDS 10)
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  set_property(GLOBAL APPEND PROPERTY VX_FUZZ_TARGETS ${name})
  if(VX_LIBFUZZER)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(found ${CMAKE_BINARY_DIR}/fuzz/${name})
    file(MAKE_DIRECTORY ${found})
    set(args -max_total_time=${A_SECONDS})
    if(A_MALLOC_LIMIT_MB)
      list(APPEND args -malloc_limit_mb=${A_MALLOC_LIMIT_MB})
    endif()
    if(A_RSS_LIMIT_MB)
      list(APPEND args -rss_limit_mb=${A_RSS_LIMIT_MB})
    endif()
    add_test(NAME ${name} COMMAND ${name} ${args} ${found} ${A_CORPUS})
  else()
    target_link_libraries(${name} PRIVATE vx_fuzz_driver)
    set(args --seconds=${A_SECONDS})
    if(A_MALLOC_LIMIT_MB)
      list(APPEND args --malloc-limit-mb=${A_MALLOC_LIMIT_MB})
    endif()
    if(A_RSS_LIMIT_MB)
      list(APPEND args --rss-limit-mb=${A_RSS_LIMIT_MB})
    endif()
    add_test(NAME ${name} COMMAND ${name} ${args} ${A_CORPUS})
  endif()
  set_tests_properties(${name} PROPERTIES LABELS fuzz
    ENVIRONMENT "VX_TEST_TMP=${CMAKE_BINARY_DIR}/testdata")
endfunction()
