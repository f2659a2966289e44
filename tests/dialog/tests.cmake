# Tests of dialog/: the resources read back from the built tessaro.exe.
tessaro_add_wine_test(resources SOURCES dialog/resources_test.cpp
    LIBS tessaro_text comctl32 version NEEDS_EXE)

# The association dialog, created for real from its resource: the test
# binary carries tessaro's resources itself.
tessaro_add_wine_test(dialog SOURCES dialog/dialog_fixture.cpp dialog/layout_test.cpp
    dialog/exchange_test.cpp dialog/installmode_test.cpp assoc/classes_root.cpp
    ../dialog/tessaro.rc LIBS tessaro_dialog NEEDS_EXE)
