# CTest entries for the developer tool's command-line interface.
if(TARGET zavik-tool)
  foreach(case render-row0 render-png render-code export-row0 export-share parse-roundtrip parse-none
               parse-share-code render-share-code valorant-code ini-section render-image bad-arguments)
    add_test(NAME zavik-tool.${case}
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/tool_test.sh $<TARGET_FILE:zavik-tool> ${case})
  endforeach()
endif()
