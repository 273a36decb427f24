// The main window's menu items and tool buttons, by what they do.
#pragma once

class QAction;
class QMenu;

namespace morvane {

struct MainActions {
    // "Образ"
    QMenu* imageMenu = nullptr;
    QMenu* createImageMenu = nullptr;
    QAction* createTrdos = nullptr;
    QAction* createCpm = nullptr;
    QAction* loadNative = nullptr;
    QAction* loadAs = nullptr;
    QAction* mergeImage = nullptr;  // "Объединить с образом..."
    QAction* loadUdi = nullptr;
    QAction* loadTrd = nullptr;
    QAction* loadTd0 = nullptr;
    QAction* loadFdi = nullptr;
    QAction* clearImage = nullptr;
    QMenu* templatesMenu = nullptr;
    QAction* editBaseTemplate = nullptr;
    QAction* useBaseTemplate = nullptr;
    QAction* viewZxCatalogue = nullptr;
    QAction* viewCpmCatalogue = nullptr;
    QAction* saveNative = nullptr;
    QAction* saveAs = nullptr;
    QAction* saveUdi = nullptr;
    QAction* saveTrd = nullptr;
    QAction* saveTd0 = nullptr;
    QAction* saveFdi = nullptr;
    QAction* exit = nullptr;
    // "Диск"
    QMenu* diskMenu = nullptr;
    QAction* fullRead = nullptr;
    QAction* rawRead = nullptr;
    QAction* trackScan = nullptr;
    QAction* readByMarks = nullptr;
    QAction* scanAndRead = nullptr;
    QAction* fastRead = nullptr;
    QAction* rereadFailed = nullptr;
    QAction* recoverFailed = nullptr;  // "Восстановить сбойные сектора..."
    QAction* formatDisk = nullptr;
    QAction* writeDisk = nullptr;
    QAction* readZxCatalogue = nullptr;
    // "Контроллер"
    QMenu* controllerMenu = nullptr;
    QAction* searchUsb = nullptr;
    QAction* startStopUsb = nullptr;
    QAction* resetController = nullptr;
    QAction* driveA = nullptr;
    QAction* driveB = nullptr;
    QAction* virtualController = nullptr;
    QAction* virtualImage = nullptr;
    // "Настройки"
    QMenu* settingsMenu = nullptr;
    QAction* programSettings = nullptr;
    // Tool bar
    QAction* toolSave = nullptr;
    QAction* toolSaveUdi = nullptr;
    QAction* toolClear = nullptr;
    QAction* toolScanAndRead = nullptr;
};

}  // namespace morvane
