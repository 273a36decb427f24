// Feeds a hostile byte stream to the controller's receive decoder, cut into chunks of sizes
// the input chooses. The records must be the very ones the whole stream gives in one feed,
// and no record may hold more than its capacity.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "controller/RxDecoder.h"

namespace {

using namespace morvane;

struct Record {
    bool error = false;
    std::vector<std::uint8_t> status;
    std::vector<std::uint8_t> data;
    bool truncated = false;

    bool operator==(const Record&) const = default;
};

class Collect final : public RxRecordSink {
  public:
    void OnAnswer(AnswerRecord&& answer) override {
        if (answer.data.size() > kAnswerCapacity) __builtin_trap();
        records.push_back({false, {}, std::move(answer.data), answer.truncated});
    }
    void OnError(ErrorRecord&& error) override {
        if (error.status.size() > kErrorStatusCapacity) __builtin_trap();
        if (error.data.size() > kErrorDataCapacity) __builtin_trap();
        records.push_back({true, std::move(error.status), std::move(error.data), error.truncated});
    }

    std::vector<Record> records;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first two bytes steer the chunking, the rest is the stream.
    if (size < 2) return 0;
    std::uint32_t state = (std::uint32_t{data[0]} << 8 | data[1]) + 1;
    const std::span<const std::uint8_t> stream(data + 2, size - 2);

    RxDecoder whole;
    Collect wholeRecords;
    whole.Feed(stream, wholeRecords);

    RxDecoder pieces;
    Collect pieceRecords;
    std::size_t at = 0;
    while (at < stream.size()) {
        state = state * 1103515245u + 12345u;
        const std::size_t chunk = std::min<std::size_t>(1 + (state >> 16) % 97, stream.size() - at);
        if ((state >> 8) & 1) {
            pieces.Feed(stream.subspan(at, chunk), pieceRecords);
        } else {
            for (std::size_t i = 0; i < chunk; ++i)
                pieces.Feed(stream[at + i], pieceRecords);
        }
        at += chunk;
    }
    if (pieceRecords.records != wholeRecords.records) __builtin_trap();
    if (pieces.CollectingAnswer() != whole.CollectingAnswer() ||
        pieces.CollectingError() != whole.CollectingError())
        __builtin_trap();

    // After a reset no frame is in progress: an end mark closes nothing.
    pieces.Reset();
    const std::size_t before = pieceRecords.records.size();
    pieces.Feed(kRxEnd, pieceRecords);
    if (pieceRecords.records.size() != before) __builtin_trap();
    return 0;
}
