#include "StatusText.h"

#include <array>
#include <string_view>

namespace morvane {

namespace {

constexpr std::string_view kBusy = "Контроллер занят ";
constexpr std::string_view kIndex = "Импульсный индекс ";
constexpr std::string_view kDataRequest = "Запрос данных ";
constexpr std::string_view kTrack0 = "Трэк 0";
constexpr std::string_view kLostData = "Потеря данных ";
constexpr std::string_view kCrc = "Ошибка в контрольном коде ";
constexpr std::string_view kSeekError = "Ошибка поиска ";
constexpr std::string_view kNotFound = "Сектор не найден ";
constexpr std::string_view kHeadLoaded = "Загрузка магнитной головки ";
constexpr std::string_view kWriteFault = "Ошибка записи ";
constexpr std::string_view kDeleted = "Удаленные данные ";
constexpr std::string_view kProtect = "Защита записи ";
constexpr std::string_view kNotReady = "Дисковод не готов ";

using BitTexts = std::array<std::string_view, 8>;

// Rows: command type; columns: bit 0..7. An empty text means the bit says nothing there.
constexpr std::array<BitTexts, 6> kTexts = {{
    {kBusy, kIndex, kTrack0, kCrc, kSeekError, kHeadLoaded, kProtect, kNotReady},
    {kBusy, kDataRequest, kLostData, kCrc, kNotFound, kWriteFault, kProtect, kNotReady},
    {kBusy, kDataRequest, kLostData, kCrc, kNotFound, kDeleted, {}, kNotReady},
    {kBusy, kDataRequest, kLostData, kCrc, kNotFound, {}, {}, kNotReady},
    {kBusy, kDataRequest, kLostData, {}, {}, kWriteFault, kProtect, kNotReady},
    {kBusy, kDataRequest, kLostData, {}, {}, {}, {}, kNotReady},
}};

}  // namespace

std::string DecodeStatus(int commandType, std::uint8_t status) {
    std::string text;
    if (commandType < 0 || commandType >= static_cast<int>(kTexts.size())) return text;
    const BitTexts& row = kTexts[static_cast<std::size_t>(commandType)];
    for (std::size_t bit = 0; bit < row.size(); ++bit)
        if ((status >> bit) & 1) text += row[bit];
    return text;
}

}  // namespace morvane
