list(APPEND VX_APP_TEST_SOURCES
  settings/cached_ini_test.cpp
  settings/language_test.cpp
  settings/game_shape_test.cpp
  settings/options_test.cpp
)

vx_fuzz(cached_ini_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cached_ini_fuzz.cpp
  DEPS vx_app
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/ini_corpus
  SECONDS 10)
