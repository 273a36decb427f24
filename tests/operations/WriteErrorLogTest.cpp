// The log lines of a failed write or format: one per status bit, from one table.
#include <gtest/gtest.h>

#include "OperationsFixture.h"
#include "operations/OperationSession.h"
#include "operations/WriteErrorLog.h"

namespace morvane {
namespace {

class WriteErrorLogTest : public test::OperationsFixture {};

TEST_F(WriteErrorLogTest, EveryBitOfTheTableInOrder) {
    auto ctx = Ctx();
    OperationSession session(ctx);
    LogWriteErrors(session, 0xFF, QStringLiteral("Ошибка записи - "));
    EXPECT_EQ(host.log, (std::vector<std::string>{"Ошибка записи - \"Диск защищен от записи!\"",
                                                  "Ошибка записи - \"Ошибка записи!\"",
                                                  "Ошибка записи - \"Сектор не найден!\"",
                                                  "Ошибка записи - \"Ошибка CRC!\"",
                                                  "Ошибка записи - \"Потеря данных!\""}));
}

TEST_F(WriteErrorLogTest, FormatOfTheSelectedTrackNamesThreeBits) {
    auto ctx = Ctx();
    OperationSession session(ctx);
    LogWriteErrors(session, 0xFF, QStringLiteral("Ошибка форматирования - "), kFormatErrorBits);
    EXPECT_EQ(host.log,
              (std::vector<std::string>{"Ошибка форматирования - \"Диск защищен от записи!\"",
                                        "Ошибка форматирования - \"Ошибка записи!\"",
                                        "Ошибка форматирования - \"Потеря данных!\""}));
}

}  // namespace
}  // namespace morvane
