# The window looks for style.xml, Resources/banner.png and, on its very first start, the sample
# press profile Resources/profiles/Tintora-Sample-CMYK.icc beside its executable. This copies
# them there after every build of TARGET, so the program and its tests find them.
set(TINTORA_DATA_DIR ${PROJECT_SOURCE_DIR}/data)

function(tintora_copy_runtime_data target)
    add_dependencies(${target} sample_profiles)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/Resources/profiles
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TINTORA_DATA_DIR}/style.xml
                $<TARGET_FILE_DIR:${target}>/style.xml
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TINTORA_DATA_DIR}/Resources/banner.png
                $<TARGET_FILE_DIR:${target}>/Resources/banner.png
        COMMAND ${CMAKE_COMMAND} -E copy_if_different
                ${PROJECT_BINARY_DIR}/profiles/Tintora-Sample-CMYK.icc
                $<TARGET_FILE_DIR:${target}>/Resources/profiles/Tintora-Sample-CMYK.icc
        VERBATIM)
endfunction()
