# OS layer: positioned I/O, region lock cycles, name resolution.
if(TARGET vx_os)
  add_executable(vx_bench_os ${CMAKE_CURRENT_LIST_DIR}/os_bench.cpp)
  target_link_libraries(vx_bench_os PRIVATE vx_os benchmark::benchmark benchmark::benchmark_main)
endif()
