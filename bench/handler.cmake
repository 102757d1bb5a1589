# Table handler: walking 1,000,000 draw records in record order and in the
# order of the draw tag, beside the raw read of the same file in large blocks
# and dbfread iterating it (handler_peers_bench.py) in the same run.
if(TARGET vx_tables_handler)
  add_executable(vx_bench_handler ${CMAKE_CURRENT_LIST_DIR}/handler_bench.cpp)
  target_link_libraries(vx_bench_handler PRIVATE vx_tables_handler benchmark::benchmark)
  target_compile_definitions(vx_bench_handler PRIVATE VX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
