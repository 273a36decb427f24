morvane_add_fuzzer(fuzz_td0 FuzzTd0.cpp)
morvane_add_fuzzer(fuzz_lzh FuzzLzh.cpp)
