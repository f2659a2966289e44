# Tests of assoc/: the association store against the real registry of the
# binary's private prefix.
tessaro_add_wine_test(assoc
    SOURCES assoc/classes_root.cpp assoc/registry_test.cpp assoc/verbkey_test.cpp
    assoc/commandline_test.cpp assoc/settings_test.cpp
    LIBS tessaro_assoc tessaro_cmdline)
tessaro_add_utf8_test(assoc RegistryPrimitives.DefaultValueReads*)
