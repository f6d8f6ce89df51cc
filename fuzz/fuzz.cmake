# libFuzzer targets: only with ZAVIK_FUZZ and clang. The core is compiled
# again with coverage and sanitizers so that the fuzzer sees into it.
if(ZAVIK_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(ZAVIK_FUZZ_SANITIZERS address,undefined)
  add_library(zavik_core_fuzz STATIC ${ZAVIK_CORE_SOURCES} ${ZAVIK_HOST_SOURCES})
  target_include_directories(zavik_core_fuzz INTERFACE ${ZAVIK_CONSUMER_INCLUDES})
  target_link_libraries(zavik_core_fuzz PUBLIC PNG::PNG)
  target_compile_options(zavik_core_fuzz PRIVATE -g -fno-omit-frame-pointer
                         -fsanitize=fuzzer-no-link,${ZAVIK_FUZZ_SANITIZERS}
                         -fno-sanitize-recover=all)
  foreach(target fuzz_parse fuzz_profile fuzz_render fuzz_image)
    add_executable(${target} ${CMAKE_CURRENT_LIST_DIR}/${target}.cpp)
    target_link_libraries(${target} PRIVATE zavik_core_fuzz)
    target_compile_options(${target} PRIVATE -g -fno-omit-frame-pointer
                           -fsanitize=fuzzer,${ZAVIK_FUZZ_SANITIZERS} -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer,${ZAVIK_FUZZ_SANITIZERS})
  endforeach()
elseif(ZAVIK_FUZZ)
  message(WARNING "ZAVIK_FUZZ needs clang (CC=clang CXX=clang++); no fuzz targets built")
endif()
