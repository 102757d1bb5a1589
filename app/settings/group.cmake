# The cached INI class, the settings file, the options dialog, message
# texts and translation.
list(APPEND VX_APP_SOURCES
  settings/cached_ini.cpp
  settings/message_texts.cpp
  settings/language.cpp
  settings/general_settings.cpp
  settings/options.cpp
)
