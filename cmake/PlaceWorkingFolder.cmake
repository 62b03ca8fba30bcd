# Copies the working-folder template to TARGET without overwriting anything: a rebuild must never
# replace the user's settings, caches or skins.
file(MAKE_DIRECTORY "${TARGET}" "${TARGET}/ku" "${TARGET}/ku/Wenjian" "${TARGET}/SkinH")
file(GLOB_RECURSE template_files RELATIVE "${TEMPLATE}" "${TEMPLATE}/*")
foreach(rel IN LISTS template_files)
    if(NOT EXISTS "${TARGET}/${rel}")
        get_filename_component(dir "${TARGET}/${rel}" DIRECTORY)
        file(MAKE_DIRECTORY "${dir}")
        file(COPY_FILE "${TEMPLATE}/${rel}" "${TARGET}/${rel}")
    endif()
endforeach()
