#include "ui/catalogue/TrDosWindowRules.h"

#include "filesystems/TrDosPlainFiles.h"

namespace morvane {

std::string HobetaOverwriteQuestion(std::string_view fileName) {
    return "Файл " + std::string(fileName) + " уже существует! Перезаписать?";
}

std::string SclOverwriteQuestion(std::string_view path) {
    return "Файл " + std::string(path) + " уже существует! Перезаписать?";
}

TrDosMenuState TrDosMenuEnabling(bool fromImage, std::size_t rowCount,
                                 const TrDosEntry* selectedSingle) {
    TrDosMenuState m;
    if (!fromImage) return m;
    m.renameDisk = true;
    m.addFiles = true;
    m.addPlainFile = true;
    if (rowCount == 0) return m;
    m.saveHobeta = true;
    m.saveScl = true;
    m.saveBin = true;
    m.saveTap = true;
    m.deleteFiles = true;
    m.compact = true;
    if (selectedSingle != nullptr) {
        m.viewHex = true;
        m.editHeader = true;
        m.viewScreen = selectedSingle->length == kZxScreenBytes;
        m.viewBasic = selectedSingle->type == kTrDosBasic;
    }
    return m;
}

}  // namespace morvane
