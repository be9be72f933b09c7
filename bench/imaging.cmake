# Imaging benchmarks: the conversion of one 530 x 530 photo-like frame, alone and with the
# GIF frame written after it.
add_executable(bench_imaging ${CMAKE_CURRENT_LIST_DIR}/imaging_frame.cpp)
target_link_libraries(bench_imaging PRIVATE tavrel_imaging tavrel_gif benchmark::benchmark benchmark::benchmark_main)
