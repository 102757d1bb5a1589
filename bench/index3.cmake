# NTX, NDX and MDX: bulk build of the draw tag and random seeks over
# 1,000,000 records; index3_peers_bench.py runs them next to TDbf's MDX and NDX.
if(TARGET vx_tables_index)
  add_executable(vx_bench_index3 ${CMAKE_CURRENT_LIST_DIR}/index3_bench.cpp)
  target_link_libraries(vx_bench_index3 PRIVATE vx_tables_index benchmark::benchmark benchmark::benchmark_main)
endif()
