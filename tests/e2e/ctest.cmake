# CTest entries of the end-to-end tests: the Windows build's zavik-e2e.exe run
# under Wine on a virtual display. e2e.setup starts Xvfb, openbox and the
# wineservers of three cached prefixes (96 and 144 DPI, and one whose screen is
# a virtual desktop); e2e.cleanup ends them.
# Every group in between runs one GoogleTest filter through run-e2e.sh; groups
# share one prefix and one single-instance program, so they never overlap.
# Every entry here runs Wine and carries the label "wine", which ./dev unit leaves out.
set(ZAVIK_E2E_SCRIPT ${CMAKE_SOURCE_DIR}/tests/e2e/run-e2e.sh)
set(ZAVIK_E2E_ENVIRONMENT
    ZAVIK_E2E_STATE=${CMAKE_BINARY_DIR}/e2e
    ZAVIK_WINDOWS_BUILD_DIR=${ZAVIK_WINDOWS_BUILD_DIR})
set(ZAVIK_E2E_LOCK zavik_e2e_display)

add_test(NAME e2e.setup COMMAND ${ZAVIK_E2E_SCRIPT} setup)
set_tests_properties(e2e.setup PROPERTIES FIXTURES_SETUP zavik_e2e LABELS wine
    ENVIRONMENT "${ZAVIK_E2E_ENVIRONMENT}" RESOURCE_LOCK ${ZAVIK_E2E_LOCK} TIMEOUT 180)

add_test(NAME e2e.cleanup COMMAND ${ZAVIK_E2E_SCRIPT} cleanup)
set_tests_properties(e2e.cleanup PROPERTIES FIXTURES_CLEANUP zavik_e2e LABELS wine
    ENVIRONMENT "${ZAVIK_E2E_ENVIRONMENT}" RESOURCE_LOCK ${ZAVIK_E2E_LOCK} TIMEOUT 60)

# zavik_e2e_group(NAME FILTER [dpi144]): one CTest entry e2e.NAME.
set(ZAVIK_E2E_NAMED_FILTERS "")
function(zavik_e2e_group name filter)
  add_test(NAME e2e.${name} COMMAND ${ZAVIK_E2E_SCRIPT} run "${filter}" ${ARGN})
  set_tests_properties(e2e.${name} PROPERTIES FIXTURES_REQUIRED zavik_e2e LABELS wine
      ENVIRONMENT "${ZAVIK_E2E_ENVIRONMENT}" RESOURCE_LOCK ${ZAVIK_E2E_LOCK} TIMEOUT 300)
  set(ZAVIK_E2E_NAMED_FILTERS "${ZAVIK_E2E_NAMED_FILTERS}:${filter}" PARENT_SCOPE)
endfunction()

zavik_e2e_group(Resources "Resources.*")
zavik_e2e_group(Foundation "Foundation.*")
zavik_e2e_group(Running "Running.*")
zavik_e2e_group(Settings "Settings.*")
zavik_e2e_group(ImageTab "ImageTab.*")
zavik_e2e_group(Saved "Saved.*")
zavik_e2e_group(Options "Options.*")
zavik_e2e_group(Hostile "*Hostile.*")
zavik_e2e_group(Faults "Faults.*")
# Two hundred starts, each ended by a kill in the middle of saving.
zavik_e2e_group(Kills "FaultsKill.*")
set_tests_properties(e2e.Kills PROPERTIES TIMEOUT 900)
zavik_e2e_group(Safety "Safety.*:Tray.*")
# The release archive, unpacked, started from its own folder.
add_test(NAME e2e.Package COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/package-e2e.sh)
set_tests_properties(e2e.Package PROPERTIES FIXTURES_REQUIRED zavik_e2e LABELS wine
    ENVIRONMENT "${ZAVIK_E2E_ENVIRONMENT}" RESOURCE_LOCK ${ZAVIK_E2E_LOCK} TIMEOUT 300)
# Suites whose names begin "Dpi144" run in the prefix whose LogPixels is 144.
zavik_e2e_group(Dpi144 "Dpi144*" dpi144)
# Suites whose names begin "Desktop" run where the screen is a virtual desktop.
zavik_e2e_group(Desktop "Desktop*" desktop)
# Every other suite (the profile conformance suite, suites added later) until
# it gets a group of its own above.
string(SUBSTRING "${ZAVIK_E2E_NAMED_FILTERS}" 1 -1 ZAVIK_E2E_OTHERS)
zavik_e2e_group(Other "*-${ZAVIK_E2E_OTHERS}")
