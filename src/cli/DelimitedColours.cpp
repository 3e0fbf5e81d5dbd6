#include "DelimitedColours.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace {

// Splits one row; false for an unterminated quote.
bool splitRow(std::string_view line, char delimiter, std::vector<std::string>& fields) {
    fields.clear();
    std::string field;
    bool quoted = false, wasQuoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"')
                field += '"', ++i;
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"' && std::all_of(field.begin(), field.end(),
                                           [](char f) { return f == ' ' || f == '\t'; })) {
            field.clear();
            quoted = wasQuoted = true;
        } else if (c == delimiter) {
            fields.push_back(wasQuoted ? field : std::string(trimmed(field)));
            field.clear();
            wasQuoted = false;
        } else if (!(wasQuoted && (c == ' ' || c == '\t' || c == '\r'))) {
            field += c;
        }
    }
    if (quoted)
        return false;
    fields.push_back(wasQuoted ? field : std::string(trimmed(field)));
    return true;
}

char chooseDelimiter(std::string_view header) {
    std::size_t tabs = 0, semicolons = 0, commas = 0;
    bool quoted = false;
    for (char c : header) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted)
            tabs += c == '\t', semicolons += c == ';', commas += c == ',';
    }
    if (tabs > 0)
        return '\t';
    return semicolons > 0 && semicolons >= commas ? ';' : ',';
}

// A header name reduced to lower case without blanks, "*" and "°".
std::string key(const std::string& name) {
    std::string result;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) == 0xB0) {
            ++i; // "°"
            continue;
        }
        if (c == ' ' || c == '\t' || c == '*' || c == '_')
            continue;
        result += static_cast<char>(std::tolower(c));
    }
    return result;
}

std::optional<std::size_t> column(const std::vector<std::string>& keys,
                                  std::initializer_list<const char*> names) {
    for (const char* name : names)
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == name)
                return i;
    return std::nullopt;
}

} // namespace

ColourList readDelimitedColours(const std::string& content, const std::string& source,
                                char delimiter) {
    ColourList list;
    std::string_view text(content);
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    std::optional<std::size_t> name, L, first, second;
    bool lch = false;
    bool decimalComma = false;
    std::size_t needed = 0;
    bool haveHeader = false;
    std::vector<std::string> fields;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#')
            continue;
        const std::string origin = source + ":" + std::to_string(lineNumber);

        if (!haveHeader) {
            if (delimiter == 0)
                delimiter = chooseDelimiter(line);
            decimalComma = delimiter != ',';
            if (!splitRow(line, delimiter, fields)) {
                list.failure = origin + ": the header has an unterminated quote";
                return list;
            }
            std::vector<std::string> keys;
            for (const std::string& field : fields)
                keys.push_back(key(field));
            name = column(keys, {"name", "colourname", "colorname", "samplename", "colour", "color",
                                 "spot", "id", "sampleid"});
            L = column(keys, {"l", "labl", "lchl"});
            first = column(keys, {"a", "laba"});
            second = column(keys, {"b", "labb"});
            if (!first || !second) {
                first = column(keys, {"c", "labc", "lchc", "chroma"});
                second = column(keys, {"h", "labh", "lchh", "hab", "hue"});
                lch = true;
            }
            if (!name || !L || !first || !second) {
                list.failure = origin +
                               ": the header does not name a name column and L, a, b (or L, C, "
                               "h) columns";
                return list;
            }
            needed = std::max({*name, *L, *first, *second}) + 1;
            haveHeader = true;
            continue;
        }

        if (!splitRow(line, delimiter, fields)) {
            list.skip(origin, "unterminated quote");
            continue;
        }
        if (fields.size() < needed) {
            list.skip(origin, std::to_string(fields.size()) + " fields where the header needs " +
                                  std::to_string(needed));
            continue;
        }
        const std::string* const values[3] = {&fields[*L], &fields[*first], &fields[*second]};
        list.addRow(fields[*name], values, lch, origin, decimalComma);
    }
    if (!haveHeader)
        list.failure = source + ": no header row";
    return list;
}
