# Start-up, the main window (its controls, busy state, game shape, section
# "General" of the settings, the draw-base commands, the probability
# methods, the import of draw files).
list(APPEND VX_APP_SOURCES
  main/comparison.cpp
  main/drag_sum.cpp
  main/statistics.cpp
  main/statistics_commands.cpp
  main/generation.cpp
  main/generation_commands.cpp
  main/generation_run.cpp
  main/number_set.cpp
  main/formmain_results.cpp
  main/tickets_commands.cpp
  main/export_commands.cpp
  main/characteristic.cpp
  main/characteristic_commands.cpp
  main/dyads.cpp
  main/dyads_commands.cpp
  main/random_draws.cpp
  main/weighting_commands.cpp
  main/command_scope.cpp
  main/formmain.cpp
  main/formmain_build.cpp
  main/general_settings.cpp
  main/draw_base_commands.cpp
  main/draw_import.cpp
  main/probability.cpp
  main/probability_commands.cpp
  main/startup.cpp
  main/probability_file.cpp
  main/download_commands.cpp
  main/window_commands.cpp
  main/draw_ordering.cpp
  main/stability_run.cpp
  main/wheel_systems.cpp
  main/wheel_systems_commands.cpp
)
