# Hostile input end to end: shortcut files, command lines and registry
# values that anyone can put in front of tessaro, a soak of the settings
# operations, and simultaneous starts; and shortcuts as Windows writes them.
tessaro_add_wine_test(reliability
    SOURCES reliability/shell_watch.cpp reliability/hostile_links_test.cpp
    reliability/command_lines_test.cpp reliability/hostile_values_test.cpp
    reliability/settings_soak_test.cpp reliability/startup_race_test.cpp
    reliability/written_links_test.cpp
    dialog/dialog_fixture.cpp assoc/classes_root.cpp TOOLS/screen.cpp ../dialog/tessaro.rc
    LIBS tessaro_app NEEDS_EXE)

# A real Windows Installer package for advertised shortcuts to name.
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/probe.msi
    COMMAND wixl -o ${CMAKE_CURRENT_BINARY_DIR}/probe.msi probe.wxs
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/reliability
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/reliability/probe.wxs VERBATIM)
add_custom_target(probe_msi DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/probe.msi)
add_dependencies(test_reliability probe_msi)
string(REPLACE "/" "\\\\" probe_msi_win "Z:${CMAKE_CURRENT_BINARY_DIR}/probe.msi")
target_compile_definitions(test_reliability PRIVATE "TESSARO_PROBE_MSI=\"${probe_msi_win}\"")

# A DLL that records its load, planted where Windows looks first.
add_library(plant SHARED reliability/plant.cpp)
set_target_properties(plant PROPERTIES PREFIX "")
target_link_libraries(plant PRIVATE tessaro_flags)
target_link_options(plant PRIVATE -static-libgcc)
add_dependencies(test_reliability plant)
string(REPLACE "/" "\\\\" plant_win "Z:${CMAKE_CURRENT_BINARY_DIR}/plant.dll")
target_compile_definitions(test_reliability PRIVATE "TESSARO_PLANT_DLL=\"${plant_win}\"")
