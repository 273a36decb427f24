# morvane-img verbs of the disk filesystems.
target_sources(morvane_img_commands PRIVATE
  morvane-img/VerbSupport.cpp
  morvane-img/VerbCat.cpp
  morvane-img/VerbCpmGet.cpp
  morvane-img/VerbExportHobeta.cpp
  morvane-img/VerbExportScl.cpp
  morvane-img/VerbNewImage.cpp
  morvane-img/VerbAdd.cpp
  morvane-img/VerbCpmPut.cpp)
target_link_libraries(morvane_img_commands PUBLIC morvane_filesystems)
