# Visual class library: the cost of pumping messages in a long loop (every
# call and coalesced), canvas drawing into a bitmap, and the data-aware grid
# following a data set record by record.
if(TARGET vx_gui)
  set(VX_GUI_BENCH_SOURCES ${CMAKE_CURRENT_LIST_DIR}/gui_bench.cpp)
  if(TARGET vx_db AND EXISTS ${CMAKE_SOURCE_DIR}/tests/platform/db/memory_dataset.cpp)
    list(APPEND VX_GUI_BENCH_SOURCES ${CMAKE_SOURCE_DIR}/tests/platform/db/memory_dataset.cpp)
  endif()
  add_executable(vx_bench_gui ${VX_GUI_BENCH_SOURCES})
  target_include_directories(vx_bench_gui PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(vx_bench_gui PRIVATE vx_gui benchmark::benchmark)
  if(TARGET vx_db)
    target_compile_definitions(vx_bench_gui PRIVATE VX_BENCH_DBGRID=1)
  endif()
endif()
