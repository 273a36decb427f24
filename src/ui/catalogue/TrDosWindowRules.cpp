#include "ui/catalogue/TrDosWindowRules.h"

#include "filesystems/TrDosPlainFiles.h"
#include "ui/views/QtText.h"

namespace morvane {

namespace {

// Spelt out with its context: the translation tools lose the namespace after a function
// returning std::string.
QString OverwriteQuestion(std::string_view name) {
    return QCoreApplication::translate("morvane::Ui", "Файл %1 уже существует! Перезаписать?")
        .arg(QText(name));
}

}  // namespace

std::string HobetaOverwriteQuestion(std::string_view fileName) {
    return OverwriteQuestion(fileName).toStdString();
}

std::string SclOverwriteQuestion(std::string_view path) {
    return OverwriteQuestion(path).toStdString();
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
