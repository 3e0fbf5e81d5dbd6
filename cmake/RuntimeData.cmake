# The window looks for style.xml and Resources/banner.png beside its executable. This copies
# them there after every build of TARGET, so the program and its tests find them.
set(TINTORA_DATA_DIR ${PROJECT_SOURCE_DIR}/data)

function(tintora_copy_runtime_data target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/Resources
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TINTORA_DATA_DIR}/style.xml
                $<TARGET_FILE_DIR:${target}>/style.xml
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TINTORA_DATA_DIR}/Resources/banner.png
                $<TARGET_FILE_DIR:${target}>/Resources/banner.png
        VERBATIM)
endfunction()
