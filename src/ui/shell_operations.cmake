# The main window's disk commands: the progress window, the operation host over the
# window's widgets and the commands of the "Диск" menu and the map's context menu.
target_sources(morvane_ui PRIVATE
  shell/DiskCommands.cpp
  shell/DiskWriteQuestions.cpp
  shell/ProgressWindow.cpp
  shell/WindowOperationHost.cpp
)
target_link_libraries(morvane_ui PUBLIC morvane_operations)
