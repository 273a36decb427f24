morvane_add_bench(bench_writers SOURCES WritersBench.cpp LIBS morvane_formats)
target_compile_definitions(bench_writers PRIVATE
  MORVANE_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus")
