# The release: tessaro.exe and its Japanese readme (Shift-JIS, CRLF, as
# a Windows user's editor expects it) in one zip.
set(tessaro_release_name tessaro-0.09)
set(tessaro_release_dir ${CMAKE_BINARY_DIR}/release/${tessaro_release_name})
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/${tessaro_release_name}.zip
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${tessaro_release_dir}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${tessaro_release_dir}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tessaro> ${tessaro_release_dir}/
    COMMAND sh -c "iconv -f UTF-8 -t CP932 '${PROJECT_SOURCE_DIR}/docs/readme-ja.txt' | sed 's/$/\\r/' > '${tessaro_release_dir}/readme.txt'"
    COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/release
        ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/${tessaro_release_name}.zip --format=zip
        ${tessaro_release_name}/tessaro.exe ${tessaro_release_name}/readme.txt
    DEPENDS tessaro ${PROJECT_SOURCE_DIR}/docs/readme-ja.txt
    VERBATIM)
add_custom_target(release DEPENDS ${CMAKE_BINARY_DIR}/${tessaro_release_name}.zip)
