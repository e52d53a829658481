#include "platform/gdi/TextLayout.h"

namespace platform::gdi {
namespace {

const std::wstring kEllipsis = L"...";

std::vector<std::wstring> Paragraphs(std::wstring_view text, bool singleLine) {
    std::vector<std::wstring> paragraphs(1);
    for (const wchar_t ch : text) {
        if (ch == L'\r') {
            continue;
        }
        if (ch == L'\n') {
            if (!singleLine) {
                paragraphs.emplace_back();
            }
            continue;
        }
        paragraphs.back() += ch;
    }
    return paragraphs;
}

// Greedy wrapping of one paragraph into `out`.
void Wrap(const std::wstring& paragraph, int width, const AdvanceFn& advance,
          std::vector<std::wstring>& out) {
    std::wstring line;
    bool started = false; // a word is on the current line
    std::size_t pos = 0;
    const std::size_t n = paragraph.size();
    while (pos < n) {
        const std::size_t gapStart = pos;
        while (pos < n && paragraph[pos] == L' ') {
            ++pos;
        }
        const std::size_t wordStart = pos;
        while (pos < n && paragraph[pos] != L' ') {
            ++pos;
        }
        if (wordStart == pos) {
            break; // only trailing spaces remain
        }
        const std::wstring_view gap(paragraph.data() + gapStart, wordStart - gapStart);
        const std::wstring_view word(paragraph.data() + wordStart, pos - wordStart);
        if (!started) {
            // The paragraph's first word keeps its leading spaces; a wrapped line starts at its word.
            line.append(gap).append(word);
            started = true;
        } else if (TextWidth(line, advance) + TextWidth(gap, advance) + TextWidth(word, advance) <= width) {
            line.append(gap).append(word);
        } else {
            out.push_back(std::move(line));
            line.assign(word);
        }
    }
    out.push_back(std::move(line));
}

std::wstring WithEllipsis(const std::wstring& line, int width, const AdvanceFn& advance) {
    const int ellipsisWidth = TextWidth(kEllipsis, advance);
    std::size_t keep = line.size();
    int kept = TextWidth(line, advance);
    while (keep > 0 && kept + ellipsisWidth > width) {
        --keep;
        kept -= advance(line[keep]);
    }
    return line.substr(0, keep) + kEllipsis;
}

} // namespace

int TextWidth(std::wstring_view text, const AdvanceFn& advance) {
    int width = 0;
    for (const wchar_t ch : text) {
        width += advance(ch);
    }
    return width;
}

std::wstring StripPrefixes(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&') {
            if (i + 1 < text.size() && text[i + 1] == L'&') {
                out += L'&';
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

std::vector<TextLine> LayoutText(std::wstring_view text, const LayoutRules& rules, const AdvanceFn& advance) {
    std::vector<std::wstring> lines;
    for (const auto& paragraph : Paragraphs(text, rules.singleLine)) {
        if (rules.wordBreak && !rules.singleLine) {
            std::vector<std::wstring> wrapped;
            Wrap(paragraph, rules.width, advance, wrapped);
            lines.insert(lines.end(), wrapped.begin(), wrapped.end());
        } else {
            lines.push_back(paragraph);
        }
    }
    std::vector<TextLine> out;
    out.reserve(lines.size());
    for (auto& line : lines) {
        int width = TextWidth(line, advance);
        if (rules.endEllipsis && width > rules.width) {
            line = WithEllipsis(line, rules.width, advance);
            width = TextWidth(line, advance);
        }
        out.push_back(TextLine{std::move(line), width});
    }
    return out;
}

} // namespace platform::gdi
