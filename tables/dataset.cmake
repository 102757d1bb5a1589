# The data-set adapter: TXBaseDataSet over the table handler, the table
# creation component and the blob stream.
if(TARGET vx_tables_handler AND TARGET vx_db)
  vx_library(vx_tables_dataset
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/txbasedataset.cpp
      ${CMAKE_CURRENT_LIST_DIR}/txbasedataset_ops.cpp
      ${CMAKE_CURRENT_LIST_DIR}/txbasedataset_fields.cpp
      ${CMAKE_CURRENT_LIST_DIR}/txbblobstream.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tcreatexbasedataset.cpp
    DEPS vx_tables_handler vx_db)
endif()
