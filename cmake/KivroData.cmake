# Copies every file of data/ (tips, icon files, help) into the program folder beside the
# executables, keeping sub-folders, and again whenever a file changes.
file(GLOB_RECURSE _kivro_data_files CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/data
     ${CMAKE_SOURCE_DIR}/data/*)
set(_kivro_data_outputs)
foreach(_f IN LISTS _kivro_data_files)
  set(_out ${KIVRO_PROGRAM_DIR}/${_f})
  add_custom_command(OUTPUT ${_out}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/data/${_f} ${_out}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/${_f}
    VERBATIM)
  list(APPEND _kivro_data_outputs ${_out})
endforeach()
add_custom_target(kivro_data ALL DEPENDS ${_kivro_data_outputs})
