#include "operations/WriteErrorLog.h"

#include <array>

#include "operations/OperationSession.h"

namespace morvane {

namespace {

struct StatusBitText {
    std::uint8_t bit;
    const char* text;
};

constexpr std::array<StatusBitText, 5> kWriteErrors{{{0x40, "Диск защищен от записи!"},
                                                     {0x20, "Ошибка записи!"},
                                                     {0x10, "Сектор не найден!"},
                                                     {0x08, "Ошибка CRC!"},
                                                     {0x04, "Потеря данных!"}}};

}  // namespace

void LogWriteErrors(OperationSession& session, std::uint8_t status, const QString& prefix,
                    std::uint8_t bits) {
    for (const StatusBitText& entry : kWriteErrors)
        if (status & bits & entry.bit)
            session.Log(prefix + '"' + QString::fromUtf8(entry.text) + '"');
}

}  // namespace morvane
