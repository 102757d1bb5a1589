# Draw, results and ticket bases: table layouts, the draw base's
# operations, grid layouts and the new-base dialogs.
list(APPEND VX_APP_SOURCES
  bases/base_grids.cpp
  bases/base_tables.cpp
  bases/draw_base.cpp
  bases/newbase_dialogs.cpp
)
