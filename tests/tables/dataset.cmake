# Tests of the data-set adapter: the framework scenarios on real tables,
# the application's patterns, index building, filters, copies and memos,
# with dbfread and index_dump as independent readers.
if(TARGET vx_tables_dataset)
  vx_test(vx_tables_dataset_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/txbasedataset_scenario_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/txbasedataset_app_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/txbblobstream_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/txbasedataset_behaviour_test.cpp
    DEPS vx_tables_dataset
  )
endif()
