# Readers of the disk filesystems: TR-DOS catalogues with their exports and changes, CP/M
# directories, SCL archives and Hobeta files.
morvane_add_fuzzer(fuzz_trdos FuzzTrDos.cpp)
morvane_add_fuzzer(fuzz_cpm FuzzCpm.cpp)
morvane_add_fuzzer(fuzz_scl_hobeta FuzzSclHobeta.cpp)
target_link_libraries(fuzz_trdos PRIVATE morvane_filesystems)
target_link_libraries(fuzz_cpm PRIVATE morvane_filesystems)
target_link_libraries(fuzz_scl_hobeta PRIVATE morvane_filesystems)

# Not a harness: makes small seeds from real images when the fuzz script runs.
add_executable(fuzz_make_seed MakeSeed.cpp)
target_link_libraries(fuzz_make_seed PRIVATE morvane_image_files morvane_warnings)
