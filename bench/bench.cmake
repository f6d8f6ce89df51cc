# Benchmark fragment of the host build: the allocation count check, which is
# a count rather than a timing and so also runs as an ordinary test.
add_executable(zavik-alloc-check ${CMAKE_SOURCE_DIR}/bench/alloc/alloc_check.cpp)
target_link_libraries(zavik-alloc-check PRIVATE zavik_core)
target_link_options(zavik-alloc-check PRIVATE
                    -Wl,--wrap=malloc,--wrap=calloc,--wrap=realloc,--wrap=free)
add_test(NAME alloc.check COMMAND zavik-alloc-check)
