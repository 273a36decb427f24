# Full-disk reads and writes of TRD, UDI and FDI images.
morvane_add_bench(bench_images SOURCES ImagesBench.cpp LIBS morvane_formats)
