# Hostile input end to end: shortcut files, command lines and registry
# values that anyone can put in front of tessaro, a soak of the settings
# operations, and simultaneous starts.
tessaro_add_wine_test(reliability
    SOURCES reliability/shell_watch.cpp reliability/hostile_links_test.cpp
    reliability/command_lines_test.cpp reliability/hostile_values_test.cpp
    reliability/settings_soak_test.cpp reliability/startup_race_test.cpp
    dialog/dialog_fixture.cpp assoc/classes_root.cpp ../dialog/tessaro.rc
    LIBS tessaro_app NEEDS_EXE)
