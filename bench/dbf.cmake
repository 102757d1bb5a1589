# Table file: append 1,000,000 draw-layout records and read them back by
# number, beside python3-dbf appending and dbfread reading the same layout
# (dbf_peers_bench.py) in the same run.
if(TARGET vx_tables_dbf)
  add_executable(vx_bench_dbf ${CMAKE_CURRENT_LIST_DIR}/dbf_bench.cpp)
  target_link_libraries(vx_bench_dbf PRIVATE vx_tables_dbf benchmark::benchmark)
  target_compile_definitions(vx_bench_dbf PRIVATE VX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
