# Tests of TOOLS/: tessaro_add_wine_test(...) entries.
