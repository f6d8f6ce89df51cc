# Windows build: the statically linked program and the end-to-end test programs.
if(MSVC)
  # Visual Studio: the same sources, with the compiler's own switches.
  set(ZAVIK_WIN_FLAGS /W3 /GR- /utf-8)
  set(ZAVIK_WIN_LIBS user32 gdi32 comctl32 shell32 advapi32 ole32 kernel32)
else()
# No -fdata-sections: with it MinGW puts zero-filled records into .data, in the file.
set(ZAVIK_WIN_FLAGS -fno-exceptions -fno-rtti -ffunction-sections
    -Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type)
set(ZAVIK_WIN_LIBS user32 gdi32 comctl32 shell32 advapi32 ole32 kernel32)
endif()

add_library(zavik_core_win STATIC ${ZAVIK_CORE_SOURCES})
target_include_directories(zavik_core_win INTERFACE ${ZAVIK_CONSUMER_INCLUDES})
target_compile_options(zavik_core_win PRIVATE ${ZAVIK_WIN_FLAGS})
target_compile_definitions(zavik_core_win PUBLIC UNICODE _UNICODE)

# The Windows glue minus the entry point, so the test programs can link the
# program's own profile layer and helpers.
set(ZAVIK_WIN_GLUE ${ZAVIK_WIN_SOURCES})
list(FILTER ZAVIK_WIN_GLUE EXCLUDE REGEX "main_win\\.cpp$")
add_library(zavik_win STATIC ${ZAVIK_WIN_GLUE})
target_link_libraries(zavik_win PUBLIC zavik_core_win)
# The portable storage code calls the profile layer of the glue: the two
# archives need each other, so CMake repeats them on the link line.
target_link_libraries(zavik_core_win PUBLIC zavik_win)
target_compile_options(zavik_win PRIVATE ${ZAVIK_WIN_FLAGS})

add_executable(ZavikCrosshair WIN32 ${CMAKE_SOURCE_DIR}/src/app/main_win.cpp
               ${CMAKE_SOURCE_DIR}/res/ZavikCrosshair.rc)
target_link_libraries(ZavikCrosshair PRIVATE zavik_win ${ZAVIK_WIN_LIBS})
target_compile_options(ZavikCrosshair PRIVATE ${ZAVIK_WIN_FLAGS})
if(MSVC)
  # The resource file already embeds the manifest; a second one from the
  # linker would be a duplicate resource.
  target_link_options(ZavikCrosshair PRIVATE /MANIFEST:NO)
else()
  # One self-contained file: no MinGW runtime DLLs; no time stamp, so builds repeat.
  target_link_options(ZavikCrosshair PRIVATE -municode -mwindows -static -static-libgcc
                      -static-libstdc++ -s -Wl,--gc-sections -Wl,--no-insert-timestamp)
endif()
set_target_properties(ZavikCrosshair PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The end-to-end programs need GoogleTest's sources as Debian ships them; a
# build on Windows makes the program alone.
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt AND EXISTS /usr/src/googletest/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()
