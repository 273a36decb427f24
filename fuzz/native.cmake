morvane_add_fuzzer(fuzz_native FuzzNative.cpp)
