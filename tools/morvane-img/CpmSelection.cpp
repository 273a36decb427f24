#include "CpmSelection.h"

#include <algorithm>
#include <cctype>
#include <ostream>

#include "VerbSupport.h"
#include "filesystems/NamePatterns.h"

namespace morvane {

namespace {

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

}  // namespace

std::string CpmArgumentText(const CpmName& name) {
    std::string base, type;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = static_cast<char>(std::toupper(name[i] & 0x7F));
        (i < 8 ? base : type) += c;
    }
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    while (!type.empty() && type.back() == ' ')
        type.pop_back();
    return type.empty() ? base : base + "." + type;
}

std::string CpmFileText(std::uint8_t user, const CpmName& name) {
    return (user != 0 ? std::to_string(user) + ":" : "") + CpmArgumentText(name);
}

bool IsCpmSelection(std::string_view argument) {
    return IsNamePattern(argument) || CataloguePosition(argument).has_value();
}

bool SelectCpmEntries(const CpmCatalogue& catalogue, const std::vector<std::string>& names,
                      std::vector<std::size_t>& out, std::ostream& err) {
    out.clear();
    std::vector<std::size_t> live;
    for (const CpmListRow& row : catalogue.rows)
        if (!catalogue.entries[row.entry].IsErased()) live.push_back(row.entry);
    if (names.empty()) {
        out = live;
        return true;
    }
    auto take = [&out](std::size_t entry) {
        if (std::find(out.begin(), out.end(), entry) == out.end()) out.push_back(entry);
    };
    for (const std::string& name : names) {
        const auto wanted = SplitCpmUser(name);
        const std::string text = UpperCase(wanted ? wanted->name : std::string_view(name));
        auto inArea = [&](std::size_t i) {
            return wanted && catalogue.entries[i].user == wanted->user;
        };
        // A file of that very name comes before the position and the pattern.
        auto found = std::find_if(live.begin(), live.end(), [&](std::size_t i) {
            return inArea(i) && CpmArgumentText(catalogue.entries[i].name) == text;
        });
        if (const auto at = CataloguePosition(name); found == live.end() && at)
            found = std::find(live.begin(), live.end(), *at);
        if (found != live.end()) {
            take(*found);
            continue;
        }
        bool matched = false;
        if (IsNamePattern(text)) {
            for (std::size_t i : live) {
                if (!inArea(i) || !PatternMatches(text, CpmArgumentText(catalogue.entries[i].name)))
                    continue;
                take(i);
                matched = true;
            }
        }
        if (!matched) {
            VerbFailure(err, "no file " + name + " in the CP/M catalogue");
            return false;
        }
    }
    return true;
}

bool SelectCpmFiles(const CpmCatalogue& catalogue, const std::vector<std::string>& names,
                    std::vector<CpmFile>& out, std::ostream& err) {
    out.clear();
    std::vector<std::size_t> entries;
    if (!SelectCpmEntries(catalogue, names, entries, err)) return false;
    for (std::size_t i : entries)
        if (auto file = CpmFileOfEntry(catalogue.entries, i)) out.push_back(*file);
    return true;
}

}  // namespace morvane
