# The cached INI class, the game shape's limits, the options dialog, message
# texts and translation.
list(APPEND VX_APP_SOURCES
  settings/cached_ini.cpp
  settings/message_texts.cpp
  settings/language.cpp
  settings/game_shape.cpp
  settings/options.cpp
)
