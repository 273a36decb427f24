# Readers of TRD, UDI and FDI images.
morvane_add_fuzzer(fuzz_trd FuzzTrd.cpp)
morvane_add_fuzzer(fuzz_udi FuzzUdi.cpp)
morvane_add_fuzzer(fuzz_fdi FuzzFdi.cpp)
