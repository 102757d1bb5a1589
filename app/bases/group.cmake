# Draw, results and ticket bases, the new-base dialogs, and the probability
# methods of the main window.
list(APPEND VX_APP_SOURCES
  bases/base_grids.cpp
  bases/base_tables.cpp
  bases/draw_base.cpp
  bases/formmain_bases.cpp
  bases/newbase_dialogs.cpp
  main/probability.cpp
  main/probability_commands.cpp
)
