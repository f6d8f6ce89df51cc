# Regenerates the icon into a scratch file and compares it byte for byte with
# the committed one.
get_filename_component(dir ${FRESH} DIRECTORY)
file(MAKE_DIRECTORY ${dir})
execute_process(COMMAND ${ICON_TOOL} ${FRESH} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "zavik-icon failed (${rc})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${FRESH} ${COMMITTED} RESULT_VARIABLE diff)
if(NOT diff EQUAL 0)
  message(FATAL_ERROR "${COMMITTED} differs from what zavik-icon draws; "
                      "run the 'icon' target and commit the result")
endif()
