# The dialog's main job timed end to end: choosing a large picture for a slot, and writing
# the GIF of five filled slots. Runs the real dialog under Qt's offscreen platform.
add_executable(bench_generation ${CMAKE_CURRENT_LIST_DIR}/generation_bench.cpp)
target_link_libraries(bench_generation PRIVATE tavrel_ui benchmark::benchmark)
target_compile_definitions(bench_generation PRIVATE
  TAVREL_TESTDATA_DIR="${TAVREL_TESTDATA_DIR}" TAVREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
