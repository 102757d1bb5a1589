# Ground floor of the table engine: errors and settings, the OS calls, disk
# files with region locks, dates, typed values, collections, bit sets, tools,
# the key sorter and the record cipher.
vx_library(vx_tables_base
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/xb_errors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_sysapi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xbo_diskfile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_dates.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_variant.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_hugeset.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_tools.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_sort.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_cipher.cpp
  DEPS vx_os vx_rtl
)
