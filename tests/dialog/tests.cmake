# Tests of dialog/: tessaro_add_wine_test(...) entries.
