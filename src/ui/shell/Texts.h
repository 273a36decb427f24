// The window's own texts that more than one file uses.
#pragma once

#include "model/UserQuestion.h"  // the box captions

namespace morvane {

inline constexpr const char* kMainCaption = "Morvane 2008 ©";
inline constexpr const char* kDeviceDescription = "USB <-> Parallel";
inline constexpr const char* kStartUsbCaption = "Старт USB устройства";
inline constexpr const char* kStopUsbCaption = "Стоп USB устройства";
inline constexpr const char* kUsbStoppedText = "USB устройство остановлено!";
inline constexpr const char* kUsbNotFoundText = "USB устройство не найдено!";
inline constexpr const char* kControllerNotFound = "ZX контроллер не найден...";
inline constexpr const char* kOverwriteQuestion = "Файл уже существует! Перезаписать?";
inline constexpr const char* kVirtualControllerCaption = "Виртуальный контроллер";
inline constexpr const char* kVirtualImageCaption = "Образ в виртуальном дисководе...";

}  // namespace morvane
