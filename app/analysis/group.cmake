# The analysis behind the pages, free of widgets: probability methods and
# their file, statistics, characteristic numbers, dyads, number sets,
# generation, random draws, comparison, wheel systems.
list(APPEND VX_APP_SOURCES
  analysis/characteristic.cpp
  analysis/comparison.cpp
  analysis/dyads.cpp
  analysis/generation.cpp
  analysis/number_set.cpp
  analysis/probability.cpp
  analysis/probability_file.cpp
  analysis/random_draws.cpp
  analysis/statistics.cpp
  analysis/wheel_systems.cpp
)
