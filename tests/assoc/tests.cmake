# Tests of assoc/: tessaro_add_wine_test(...) entries.
