// The window's own texts that more than one file uses.
#pragma once

#include <QtGlobal>

#include "model/UserQuestion.h"  // the box captions

namespace morvane {

inline constexpr const char* kMainCaption = "Morvane 2008 ©";
inline constexpr const char* kDeviceDescription = "USB <-> Parallel";
inline constexpr const char* kStartUsbCaption =
    QT_TRANSLATE_NOOP("morvane::Ui", "Старт USB устройства");
inline constexpr const char* kStopUsbCaption =
    QT_TRANSLATE_NOOP("morvane::Ui", "Стоп USB устройства");
inline constexpr const char* kUsbStoppedText =
    QT_TRANSLATE_NOOP("morvane::Ui", "USB устройство остановлено!");
inline constexpr const char* kUsbNotFoundText =
    QT_TRANSLATE_NOOP("morvane::Ui", "USB устройство не найдено!");
inline constexpr const char* kControllerNotFound =
    QT_TRANSLATE_NOOP("morvane::Ui", "ZX контроллер не найден...");
inline constexpr const char* kOverwriteQuestion =
    QT_TRANSLATE_NOOP("morvane::Ui", "Файл уже существует! Перезаписать?");
inline constexpr const char* kVirtualControllerCaption =
    QT_TRANSLATE_NOOP("morvane::Ui", "Виртуальный контроллер");
inline constexpr const char* kVirtualImageCaption =
    QT_TRANSLATE_NOOP("morvane::Ui", "Образ в виртуальном дисководе...");

}  // namespace morvane
