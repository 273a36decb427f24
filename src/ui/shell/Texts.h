// The window's own texts that more than one file uses.
#pragma once

namespace morvane {

inline constexpr const char* kMainCaption = "Morvane 2008 ©";
inline constexpr const char* kDeviceDescription = "USB <-> Parallel";
inline constexpr const char* kStartUsbCaption = "Старт USB устройства";
inline constexpr const char* kStopUsbCaption = "Стоп USB устройства";
inline constexpr const char* kUsbStoppedText = "USB устройство остановлено!";
inline constexpr const char* kUsbNotFoundText = "USB устройство не найдено!";
// Named apart from the catalogue texts of the same words, which are string_views: two
// inline variables of one name would be merged by the linker whatever their types.
inline constexpr const char* kErrorBoxCaption = "Ошибка!";
inline constexpr const char* kAttentionBoxCaption = "Внимание!";
inline constexpr const char* kAttentionCaption2 = "Внимание..!";
inline constexpr const char* kControllerNotFound = "ZX контроллер не найден...";
inline constexpr const char* kOverwriteQuestion = "Файл уже существует! Перезаписать?";
inline constexpr const char* kVirtualControllerCaption = "Виртуальный контроллер";
inline constexpr const char* kVirtualImageCaption = "Образ в виртуальном дисководе...";

}  // namespace morvane
