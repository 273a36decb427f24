#include "ui/views/ShownText.h"

#include <QRegularExpression>
#include <QStringList>

#include <string>
#include <vector>

#include "ui/views/QtText.h"

namespace morvane {

namespace {

QString Translated(const char* text) {
    return Ui::tr(text);
}

// The longest listed text at `at` in `line`; empty when none starts there.
std::string_view KnownAt(std::string_view line, std::size_t at,
                         std::span<const char* const> known) {
    std::string_view longest;
    for (const char* text : known) {
        const std::string_view candidate(text);
        if (candidate.size() > longest.size() && line.substr(at).starts_with(candidate))
            longest = candidate;
    }
    return longest;
}

// A text can begin at the line's start or after a space or an opening bracket, never
// inside a word of a name or a number.
bool WordStart(std::string_view line, std::size_t at) {
    return at == 0 || line[at - 1] == ' ' || line[at - 1] == '(';
}

// A listed text with %1, %2... in it, matched against the whole line: the translation with
// the line's parts in their places; empty when no such text matches.
QString ByPattern(const QString& line, std::span<const char* const> known,
                  QString (*translate)(const char*)) {
    static const QRegularExpression kPlaceholder(QStringLiteral("%([1-9])"));
    for (const char* text : known) {
        const QString source = QString::fromUtf8(text);
        if (!source.contains(kPlaceholder)) continue;
        QString pattern;
        std::vector<int> order;
        qsizetype at = 0;
        for (auto it = kPlaceholder.globalMatch(source); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            pattern += QRegularExpression::escape(source.mid(at, m.capturedStart() - at)) +
                       QStringLiteral("(.+?)");
            order.push_back(m.captured(1).toInt());
            at = m.capturedEnd();
        }
        pattern += QRegularExpression::escape(source.mid(at));
        const QRegularExpressionMatch found =
            QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(line);
        if (!found.hasMatch()) continue;
        QString shown = translate(text);
        for (std::size_t i = 0; i < order.size(); ++i)
            shown.replace(QLatin1Char('%') + QString::number(order[i]),
                          found.captured(static_cast<int>(i) + 1));
        return shown;
    }
    return {};
}

QString ShownLine(const QString& line, std::span<const char* const> known,
                  QString (*translate)(const char*)) {
    const QByteArray utf8 = line.toUtf8();
    const QString whole = translate(utf8.constData());
    if (whole != line) return whole;
    if (QString patterned = ByPattern(line, known, translate); !patterned.isEmpty())
        return patterned;
    const std::string_view text(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    std::string kept;
    QString shown;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::string_view found =
            WordStart(text, at) ? KnownAt(text, at, known) : std::string_view{};
        if (found.empty()) {
            kept += text[at++];
            continue;
        }
        shown += QText(kept) + translate(std::string(found).c_str());
        kept.clear();
        at += found.size();
    }
    return shown + QText(kept);
}

}  // namespace

QString ShownText(std::string_view text, std::span<const char* const> known,
                  QString (*translate)(const char*)) {
    const QString source = QText(text);
    const QString whole = translate(std::string(text).c_str());
    if (whole != source) return whole;
    QStringList lines = source.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = ShownLine(line, known, translate);
    return lines.join(QLatin1Char('\n'));
}

QString ShownText(std::string_view text) {
    return ShownText(text, LayerTexts(), &Translated);
}

}  // namespace morvane
