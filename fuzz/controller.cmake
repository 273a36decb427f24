# The controller's receive decoder; built from its source so the harness needs no Qt.
add_executable(fuzz_rx_decoder FuzzRxDecoder.cpp ${PROJECT_SOURCE_DIR}/src/controller/RxDecoder.cpp)
target_include_directories(fuzz_rx_decoder PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(fuzz_rx_decoder PRIVATE morvane_warnings)
target_link_options(fuzz_rx_decoder PRIVATE -fsanitize=fuzzer)
