# Tests of dialog/: the resources read back from the built tessaro.exe.
tessaro_add_wine_test(resources SOURCES dialog/resources_test.cpp
    LIBS tessaro_text comctl32 version NEEDS_EXE)

# The association dialog, created for real from its resource: the test
# binary carries tessaro's resources itself.
tessaro_add_wine_test(dialog SOURCES dialog/dialog_fixture.cpp dialog/layout_test.cpp
    dialog/exchange_test.cpp dialog/installmode_test.cpp dialog/aboutbox_test.cpp
    assoc/classes_root.cpp TOOLS/screen.cpp
    ../dialog/tessaro.rc LIBS tessaro_dialog NEEDS_EXE)
tessaro_add_utf8_test(dialog
    InstallMode.InstallUse*:Layout.OpensWith*:Layout.SystemMenu*:AboutBoxOfTessaro.*)

# The dialog and the about box at each display scale, on a display large
# enough for the largest.
tessaro_add_wine_test(dpi SOURCES dialog/dpi_test.cpp dialog/dialog_fixture.cpp
    assoc/classes_root.cpp TOOLS/screen.cpp ../dialog/tessaro.rc LIBS tessaro_dialog)
set_property(TEST dpi dpi-win32 APPEND PROPERTY ENVIRONMENT TESSARO_SCREEN=2560x1600)

# A free-resources library for the about box to find, or not.
add_library(rsrc32 SHARED dialog/rsrc32.cpp dialog/rsrc32.def dialog/rsrc32.rc)
set_target_properties(rsrc32 PROPERTIES PREFIX "")
target_link_libraries(rsrc32 PRIVATE tessaro_flags)
target_link_options(rsrc32 PRIVATE -static-libgcc)
string(REPLACE "/" "\\\\" rsrc32_win "Z:${CMAKE_CURRENT_BINARY_DIR}/rsrc32.dll")
target_compile_definitions(test_dialog PRIVATE "RSRC32_DLL=\"${rsrc32_win}\"")
add_dependencies(test_dialog rsrc32)

# The README's pictures of the dialog and the about box.
add_subdirectory(${PROJECT_SOURCE_DIR}/scripts/shots ${CMAKE_BINARY_DIR}/shots)
