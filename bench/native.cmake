morvane_add_bench(bench_native SOURCES NativeBench.cpp LIBS morvane_formats)
