# Imaging benchmarks: the conversion of one 530 x 530 photo-like frame, alone and with the
# GIF frame written after it.
file(GLOB TAVREL_IMAGING_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/imaging_*.cpp)
add_executable(bench_imaging ${TAVREL_IMAGING_BENCH_SOURCES})
target_link_libraries(bench_imaging PRIVATE tavrel_imaging tavrel_gif benchmark::benchmark benchmark::benchmark_main)
