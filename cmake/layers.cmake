# Each folder of src/ is compiled with an include root of its own that holds
# only itself and the folders below it (tools/layers.txt), as links, so an
# include of a higher folder does not compile in any spelling. The root also
# holds res/ for the version. Consumers of the core (tests, tools) see all of
# src/ through ZAVIK_CONSUMER_INCLUDES.
set(ZAVIK_CONSUMER_INCLUDES ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
file(STRINGS ${CMAKE_SOURCE_DIR}/tools/layers.txt ZAVIK_LAYER_LINES REGEX "^[a-z]")

# Links the folder names into root; false when this system makes no links.
function(zavik_link_folders root result)
  file(MAKE_DIRECTORY ${root})
  foreach(name ${ARGN})
    if(name STREQUAL "res")
      set(target ${CMAKE_SOURCE_DIR}/res)
    else()
      set(target ${CMAKE_SOURCE_DIR}/src/${name})
    endif()
    file(CREATE_LINK ${target} ${root}/${name} RESULT made SYMBOLIC)
    if(NOT made STREQUAL "0")
      set(${result} FALSE PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${result} TRUE PARENT_SCOPE)
endfunction()

set(zavik_below "")
foreach(line ${ZAVIK_LAYER_LINES})
  string(REGEX REPLACE "[ \t]+" ";" folders "${line}")
  foreach(folder ${folders})
    set(root ${CMAKE_BINARY_DIR}/layers/${folder})
    zavik_link_folders(${root} linked ${zavik_below} ${folder} res)
    file(GLOB sources ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
    if(linked)
      set_source_files_properties(${sources} PROPERTIES INCLUDE_DIRECTORIES ${root})
    else()
      # Without links (Windows without the right to make them) the whole
      # tree is visible; ./dev layers still checks the includes.
      message(STATUS "layers: no links here; src/${folder} sees every folder")
      set_source_files_properties(${sources} PROPERTIES INCLUDE_DIRECTORIES
                                  "${ZAVIK_CONSUMER_INCLUDES}")
    endif()
  endforeach()
  list(APPEND zavik_below ${folders})
endforeach()
