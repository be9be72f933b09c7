# Frame quality benchmark: the frame maker alone, pictures placed as tavrel-gif places them.
# bench/quality/run.sh compares it with gifski and ImageMagick.
add_executable(bench_quality ${CMAKE_CURRENT_LIST_DIR}/quality_bench.cpp)
target_link_libraries(bench_quality PRIVATE tavrel_frames tavrel_imaging tavrel_gif Qt6::Gui)
