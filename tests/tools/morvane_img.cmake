# Tests of the morvane-img command-line tool.
morvane_add_test(morvane_img_tests SOURCES MorvaneImgTest.cpp LIBS morvane_img_commands)
