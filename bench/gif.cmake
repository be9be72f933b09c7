# Benchmarks of the GIF writer, with giflib's encoder as the yardstick.
find_package(GIF REQUIRED)
add_executable(bench_gif
  ${CMAKE_CURRENT_LIST_DIR}/gif_lzw_bench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gif_bench_picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gif_bench_picture.h)
target_link_libraries(bench_gif PRIVATE tavrel_gif GIF::GIF benchmark::benchmark)
