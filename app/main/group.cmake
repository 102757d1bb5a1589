# Start-up, the main window (its controls, busy state, game shape, section
# "General" of the settings), its builders and its command handlers (the
# pages' commands, the draw-base commands, the import of draw files).
list(APPEND VX_APP_SOURCES
  main/statistics_commands.cpp
  main/generation_commands.cpp
  main/generation_run.cpp
  main/formmain_results.cpp
  main/tickets_commands.cpp
  main/export_commands.cpp
  main/characteristic_commands.cpp
  main/dyads_commands.cpp
  main/weighting_commands.cpp
  main/command_scope.cpp
  main/formmain.cpp
  main/formmain_build.cpp
  main/general_settings.cpp
  main/draw_base_commands.cpp
  main/draw_import.cpp
  main/probability_commands.cpp
  main/startup.cpp
  main/download_commands.cpp
  main/window_commands.cpp
  main/draw_ordering.cpp
  main/stability_run.cpp
  main/wheel_systems_commands.cpp
)
