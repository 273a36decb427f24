# Warning flags for every target of the project (not for third-party code).
add_library(morvane_warnings INTERFACE)
target_compile_options(morvane_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                       -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual)
if(MORVANE_WERROR)
  target_compile_options(morvane_warnings INTERFACE -Werror)
endif()
