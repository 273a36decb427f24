# The TD0 and FDI writers against the corpus images, and our TD0 files against libdsk.
morvane_add_test(writers_tests SOURCES WriterCorpusTest.cpp Td0DsktransTest.cpp LIBS morvane_image_files)
