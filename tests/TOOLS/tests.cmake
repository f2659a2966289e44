# Tests of TOOLS/: tessaro_add_wine_test(...) entries.
tessaro_add_wine_test(tools SOURCES TOOLS/toolwind_test.cpp TOOLS/dlgtemplate_test.cpp
    TOOLS/linklabel_test.cpp TOOLS/screen.cpp LIBS tessaro_tools)
