#include "imagefiles/DialogFilters.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "imagefiles/ImageFormatRows.h"

namespace morvane {

namespace {

constexpr std::string_view kSupportedFormats = "Поддерживаемые форматы";
// The load-as dialog's "supported formats" entry lists its patterns in an order of its
// own; the formats it lists that are not named here follow in table order.
constexpr std::array kLoadAsPatternOrder{ImageFormat::Fdi, ImageFormat::Trd, ImageFormat::Udi,
                                         ImageFormat::Td0};

// The filters are joined from the rows at compile time, so that they stay constants as the
// literals before them were. A piece list is a function that hands its pieces to a sink;
// it runs once to measure the text and once to fill an array of that size.
struct Measure {
    std::size_t size = 0;
    constexpr void operator()(std::string_view piece) { size += piece.size(); }
};

template <std::size_t N>
struct Text {
    std::array<char, N + 1> chars{};  // zero-terminated
    std::size_t filled = 0;
    constexpr void operator()(std::string_view piece) {
        for (char c : piece)
            chars[filled++] = c;
    }
    constexpr std::string_view View() const { return {chars.data(), N}; }
};

template <typename Pieces>
constexpr std::size_t SizeOf(Pieces pieces) {
    Measure measure;
    pieces(measure);
    return measure.size;
}

template <std::size_t N, typename Pieces>
constexpr Text<N> Joined(Pieces pieces) {
    Text<N> text;
    pieces(text);
    return text;
}

// Hands items to a sink with a separator between them.
template <typename Sink>
class Separated {
  public:
    constexpr Separated(Sink& sink, std::string_view separator)
        : sink_(sink), separator_(separator) {}
    constexpr void operator()(std::string_view first, std::string_view second = {}) {
        if (any_) sink_(separator_);
        sink_(first);
        sink_(second);
        any_ = true;
    }

  private:
    Sink& sink_;
    std::string_view separator_;
    bool any_ = false;
};

constexpr bool Every(const ImageFormatEntry&) {
    return true;
}

constexpr bool InLoadAs(const ImageFormatEntry& row) {
    return row.loadAs;
}

// "Сохранить как..." lists the formats other programs exchange first, in table order, and
// the program's own format after them.
constexpr bool InSaveAsFirst(const ImageFormatEntry& row) {
    return row.saveAs && row.format != ImageFormat::Udf;
}

constexpr bool InSaveAsLast(const ImageFormatEntry& row) {
    return row.saveAs && row.format == ImageFormat::Udf;
}

constexpr bool InLoadAsPatternOrder(const ImageFormatEntry& row) {
    return std::ranges::find(kLoadAsPatternOrder, row.format) != kLoadAsPatternOrder.end();
}

constexpr const ImageFormatEntry& RowOf(ImageFormat format) {
    return *std::ranges::find(kImageFormatRows, format, &ImageFormatEntry::format);
}

// Each chosen row's entry, in table order.
template <typename Sink, typename Chosen>
constexpr void Entries(Sink& sink, Chosen chosen) {
    Separated list(sink, "|");
    for (const ImageFormatEntry& row : kImageFormatRows)
        if (chosen(row)) list(row.filter);
}

// "*.udi" of each chosen row, in table order.
template <typename Sink, typename Chosen>
constexpr void Patterns(Sink& sink, std::string_view separator, Chosen chosen) {
    Separated list(sink, separator);
    for (const ImageFormatEntry& row : kImageFormatRows)
        if (chosen(row)) list("*.", row.extension);
}

template <typename Sink>
constexpr void LoadAsSupportedPatterns(Sink& sink) {
    Separated list(sink, ";");
    for (ImageFormat format : kLoadAsPatternOrder)
        list("*.", RowOf(format).extension);
    for (const ImageFormatEntry& row : kImageFormatRows)
        if (row.loadAs && !InLoadAsPatternOrder(row)) list("*.", row.extension);
}

constexpr auto kLoadAsPieces = [](auto& sink) {
    Entries(sink, InLoadAs);
    sink("|");
    sink(kSupportedFormats);
    sink(" (");
    Patterns(sink, ",", InLoadAs);
    sink(")|");
    LoadAsSupportedPatterns(sink);
};

constexpr auto kSaveAsPieces = [](auto& sink) {
    Separated list(sink, "|");
    for (auto chosen : {InSaveAsFirst, InSaveAsLast})
        for (const ImageFormatEntry& row : kImageFormatRows)
            if (chosen(row)) list(row.filter);
};

constexpr auto kAllFormatsPieces = [](auto& sink) {
    sink(kSupportedFormats);
    sink(" (");
    Patterns(sink, ",", Every);
    sink(")|");
    Patterns(sink, ";", Every);
    sink("|");
    Entries(sink, Every);
};

constexpr auto kLoadAsText = Joined<SizeOf(kLoadAsPieces)>(kLoadAsPieces);
constexpr auto kSaveAsText = Joined<SizeOf(kSaveAsPieces)>(kSaveAsPieces);
constexpr auto kAllFormatsText = Joined<SizeOf(kAllFormatsPieces)>(kAllFormatsPieces);

static_assert(std::ranges::all_of(kLoadAsPatternOrder,
                                  [](ImageFormat format) { return RowOf(format).loadAs; }));

}  // namespace

constinit const std::string_view kLoadAsFilter = kLoadAsText.View();
constinit const int kLoadAsDefaultFilterIndex =
    static_cast<int>(std::ranges::count_if(kImageFormatRows, InLoadAs)) + 1;
constinit const std::string_view kSaveAsFilter = kSaveAsText.View();
constinit const std::string_view kNativeFilter = RowOf(ImageFormat::Udf).filter;
constinit const std::string_view kAllFormatsFilter = kAllFormatsText.View();

std::string_view SaveAsDefaultExtension(int filterIndex) {
    int entry = 0;
    for (auto chosen : {InSaveAsFirst, InSaveAsLast})
        for (const ImageFormatEntry& row : kImageFormatRows)
            if (chosen(row) && ++entry == filterIndex) return row.extension;
    return {};
}

std::string_view SingleLoadFilter(ImageFormat format) {
    const ImageFormatEntry* row = FindImageFormat(format);
    if (row == nullptr || row->singleLoad.title.empty()) return {};
    return row->singleLoad.filter.empty() ? row->filter : row->singleLoad.filter;
}

std::string_view SingleSaveFilter(ImageFormat format) {
    const ImageFormatEntry* row = FindImageFormat(format);
    if (row == nullptr || row->singleSave.title.empty()) return {};
    return row->singleSave.filter.empty() ? row->filter : row->singleSave.filter;
}

std::vector<std::string> NameFilters(std::string_view filter) {
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    while (pos <= filter.size()) {
        const std::size_t bar = filter.find('|', pos);
        const std::size_t end = bar == std::string_view::npos ? filter.size() : bar;
        parts.push_back(filter.substr(pos, end - pos));
        pos = end + 1;
    }
    std::vector<std::string> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns(parts[i + 1]);
        for (char& c : patterns)
            if (c == ';') c = ' ';
        std::string entry(parts[i]);
        if (!entry.ends_with("(" + patterns + ")")) entry += " (" + patterns + ")";
        filters.push_back(std::move(entry));
    }
    return filters;
}

}  // namespace morvane
