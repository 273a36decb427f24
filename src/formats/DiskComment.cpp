#include "formats/DiskComment.h"

#include "model/Cp1251.h"
#include "model/Cp866.h"

namespace morvane {

std::vector<std::string> DiskCommentLines(std::span<const std::uint8_t> text) {
    const bool cp866 = LooksLikeCp866(text);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        if (!end && text[i] != '\r' && text[i] != '\n' && text[i] != 0) continue;
        const std::span<const std::uint8_t> line = text.subspan(start, i - start);
        lines.push_back(cp866 ? Cp866ToUtf8(line) : Cp1251ToUtf8(line));
        // CR LF ends one line, not two.
        if (!end && text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

}  // namespace morvane
