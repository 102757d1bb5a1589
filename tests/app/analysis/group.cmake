# The analysis behind the pages, over small fixtures.
list(APPEND VX_APP_TEST_SOURCES
  analysis/probability_test.cpp
  analysis/statistics_test.cpp
  analysis/characteristic_test.cpp
  analysis/dyads_test.cpp
  analysis/generation_test.cpp
  analysis/random_draws_test.cpp
  analysis/comparison_test.cpp
  analysis/wheel_systems_test.cpp
)
