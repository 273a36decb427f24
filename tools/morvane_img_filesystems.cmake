# morvane-img verbs of the disk filesystems.
target_sources(morvane_img_commands PRIVATE
  morvane-img/VerbSupport.cpp
  morvane-img/CpmSelection.cpp
  morvane-img/VerbCat.cpp
  morvane-img/VerbCpmGet.cpp
  morvane-img/DamagedFiles.cpp
  morvane-img/FolderExport.cpp
  morvane-img/VerbExportHobeta.cpp
  morvane-img/VerbExportScl.cpp
  morvane-img/VerbNewImage.cpp
  morvane-img/VerbAdd.cpp
  morvane-img/VerbCpmPut.cpp
  morvane-img/CatalogueJson.cpp
  morvane-img/VerbExportBin.cpp
  morvane-img/VerbExportTap.cpp
  morvane-img/VerbCopy.cpp
  morvane-img/VerbDelete.cpp
  morvane-img/VerbRename.cpp
  morvane-img/VerbCompact.cpp
  morvane-img/VerbList.cpp)
target_link_libraries(morvane_img_commands PUBLIC morvane_filesystems)
