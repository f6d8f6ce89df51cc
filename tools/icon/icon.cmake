# The icon generator and the test that keeps res/ZavikCrosshair.ico equal to
# what the generator draws (the .ico is committed so the Windows build never
# needs a host tool). After changing the drawing: cmake --build <dir> --target icon
find_package(ZLIB REQUIRED)
add_executable(zavik-icon ${CMAKE_SOURCE_DIR}/tools/icon/make_icon.cpp)
target_link_libraries(zavik-icon PRIVATE ZLIB::ZLIB)

add_custom_target(icon
  COMMAND zavik-icon ${CMAKE_SOURCE_DIR}/res/ZavikCrosshair.ico
  COMMENT "Regenerating res/ZavikCrosshair.ico")

add_test(NAME icon_matches_committed
  COMMAND ${CMAKE_COMMAND} -DICON_TOOL=$<TARGET_FILE:zavik-icon>
          -DCOMMITTED=${CMAKE_SOURCE_DIR}/res/ZavikCrosshair.ico
          -DFRESH=${CMAKE_CURRENT_BINARY_DIR}/icon-check/ZavikCrosshair.ico
          -P ${CMAKE_SOURCE_DIR}/tools/icon/check_icon.cmake)

# Read back by an independent decoder: seven PNG images of the sizes the
# program loads (small icon, DpiScale(64), the shell's sizes).
add_test(NAME icon_holds_seven_png_sizes
  COMMAND ${CMAKE_SOURCE_DIR}/tools/icon/check_sizes.sh ${CMAKE_SOURCE_DIR}/res/ZavikCrosshair.ico)
