morvane_add_bench(bench_td0 SOURCES Td0Bench.cpp LIBS morvane_formats)
target_compile_definitions(bench_td0 PRIVATE
  MORVANE_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus")
