# Draw, results and ticket bases: table layouts, the draw base's
# operations, grid layouts and the sums dragged over a grid's cells, the
# new-base dialogs and the draw files of other programs.
list(APPEND VX_APP_SOURCES
  bases/base_grids.cpp
  bases/base_tables.cpp
  bases/drag_sum.cpp
  bases/draw_base.cpp
  bases/foreign_draws.cpp
  bases/newbase_dialogs.cpp
)
