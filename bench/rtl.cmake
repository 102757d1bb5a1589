# Runtime layer: number text, Format, CP1251 comparison, string lists, INI reads.
if(TARGET vx_rtl)
  add_executable(vx_bench_rtl ${CMAKE_CURRENT_LIST_DIR}/rtl_bench.cpp)
  target_link_libraries(vx_bench_rtl PRIVATE vx_rtl benchmark::benchmark benchmark::benchmark_main)
endif()
