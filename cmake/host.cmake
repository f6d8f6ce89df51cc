# Host build: the portable core compiled natively, its unit tests, benchmarks,
# fuzz targets, the developer tool and the CTest entries of the end-to-end tests.
option(ZAVIK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
set(ZAVIK_WINDOWS_BUILD_DIR ${CMAKE_SOURCE_DIR}/build/windows CACHE PATH
    "Where the Windows build lives (for the end-to-end tests)")

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
if(ZAVIK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The host's image decoder (the stand-in for Windows' own) reads PNG with libpng.
find_package(PNG REQUIRED)
add_library(zavik_core STATIC ${ZAVIK_CORE_SOURCES} ${ZAVIK_HOST_SOURCES})
target_include_directories(zavik_core INTERFACE ${ZAVIK_CONSUMER_INCLUDES})
target_link_libraries(zavik_core PUBLIC PNG::PNG)

enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)
file(GLOB ZAVIK_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_ut.cpp
     ${CMAKE_SOURCE_DIR}/tests/conformance/*_ct.cpp)
add_executable(zavik-unit ${ZAVIK_UNIT_TESTS})
target_include_directories(zavik-unit PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(zavik-unit PRIVATE zavik_core GTest::gtest GTest::gtest_main)
gtest_discover_tests(zavik-unit DISCOVERY_TIMEOUT 60)

file(GLOB ZAVIK_TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/zavik-tool/*.cpp)
if(ZAVIK_TOOL_SOURCES)
  find_package(ZLIB REQUIRED)
  add_executable(zavik-tool ${ZAVIK_TOOL_SOURCES})
  target_link_libraries(zavik-tool PRIVATE zavik_core ZLIB::ZLIB)
endif()

find_package(benchmark QUIET)
file(GLOB ZAVIK_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(benchmark_FOUND AND ZAVIK_BENCH_SOURCES)
  add_executable(zavik-bench ${ZAVIK_BENCH_SOURCES})
  target_link_libraries(zavik-bench PRIVATE zavik_core benchmark::benchmark)
elseif(ZAVIK_BENCH_SOURCES)
  message(WARNING "libbenchmark-dev not found: zavik-bench is not built")
endif()

# Fragments owned by the areas they describe; each is optional.
option(ZAVIK_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
include(${CMAKE_SOURCE_DIR}/bench/bench.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/tools/zavik-tool/ctest.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/tools/icon/icon.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/fuzz/fuzz.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/tests/exe/ctest.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/tests/e2e/ctest.cmake OPTIONAL)
