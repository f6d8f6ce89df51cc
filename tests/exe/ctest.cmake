# Checks on the Windows program as built (at ZAVIK_WINDOWS_BUILD_DIR), on
# how its sources open other processes and on its version numbers. The image
# checks fail while there is no Windows build to look at; ./dev unit, which
# builds the host tree alone, leaves them out by their label.
set(ZAVIK_EXE ${ZAVIK_WINDOWS_BUILD_DIR}/ZavikCrosshair.exe)
set(ZAVIK_CHECK_EXE ${CMAKE_SOURCE_DIR}/tests/exe/check_exe.sh)

add_test(NAME exe_is_pe32plus_gui COMMAND ${ZAVIK_CHECK_EXE} pe ${ZAVIK_EXE})
add_test(NAME exe_imports_only_system_dlls COMMAND ${ZAVIK_CHECK_EXE} imports ${ZAVIK_EXE})
add_test(NAME exe_imports_no_process_hook_or_network_calls
         COMMAND ${ZAVIK_CHECK_EXE} forbidden ${ZAVIK_EXE})
add_test(NAME sources_open_processes_for_limited_query_only
         COMMAND ${ZAVIK_CHECK_EXE} openprocess ${CMAKE_SOURCE_DIR}/src)
set_tests_properties(exe_is_pe32plus_gui exe_imports_only_system_dlls
                     exe_imports_no_process_hook_or_network_calls
                     PROPERTIES LABELS windows-build)

add_test(NAME exe_checks_reject_broken_images COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/selftest.sh)
add_test(NAME version_is_the_same_everywhere
         COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_versions.sh ${CMAKE_SOURCE_DIR})
add_test(NAME package_is_reproducible_windows_text
         COMMAND ${CMAKE_SOURCE_DIR}/tools/package/package_test.sh)
