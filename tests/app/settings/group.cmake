list(APPEND VX_APP_TEST_SOURCES
  settings/cached_ini_test.cpp
  settings/language_test.cpp
  settings/options_test.cpp
)
