#include "CgatsColours.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

namespace {

// The tokens of a line: runs of non-blanks, or quoted strings without their quotes. false for an
// unterminated quote.
bool tokenize(std::string_view line, std::vector<std::string>& tokens) {
    tokens.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"' || c == '\'') {
            const std::size_t close = line.find(c, i + 1);
            if (close == std::string_view::npos)
                return false;
            tokens.emplace_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            std::size_t end = i;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r')
                ++end;
            tokens.emplace_back(line.substr(i, end - i));
            i = end;
        }
    }
    return true;
}

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::optional<std::size_t> field(const std::vector<std::string>& fields, const char* name) {
    const auto found = std::find(fields.begin(), fields.end(), name);
    if (found == fields.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - fields.begin());
}

} // namespace

ColourList readCgatsColours(const std::string& content, const std::string& source) {
    ColourList list;
    enum class Where { Header, Format, Data } where = Where::Header;
    std::vector<std::string> fields, tokens;
    std::optional<std::size_t> name, L, first, second;
    bool lch = false, anyBlock = false;
    long declaredSets = -1, readSets = 0;
    std::size_t dataLine = 0;

    const auto endData = [&](std::size_t lineNumber) {
        if (declaredSets >= 0 && readSets != declaredSets)
            list.notes.push_back(source + ":" + std::to_string(lineNumber) +
                                 ": NUMBER_OF_SETS is " + std::to_string(declaredSets) +
                                 " but the data has " + std::to_string(readSets) + " sets");
    };

    std::string_view text(content);
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        const std::string origin = source + ":" + std::to_string(lineNumber);
        if (!tokenize(line, tokens)) {
            list.skip(origin, "unterminated quote");
            continue;
        }
        if (tokens.empty())
            continue;
        const std::string head = upper(tokens.front());

        if (where == Where::Format) {
            for (const std::string& token : tokens) {
                if (upper(token) == "END_DATA_FORMAT") {
                    where = Where::Header;
                    break;
                }
                fields.push_back(upper(token));
            }
            continue;
        }
        if (where == Where::Data) {
            if (head == "END_DATA") {
                endData(lineNumber);
                where = Where::Header;
                continue;
            }
            ++readSets;
            if (!name || !L || !first || !second)
                continue; // a block without colours, such as device values only
            if (tokens.size() != fields.size()) {
                list.skip(origin, std::to_string(tokens.size()) + " values where the format has " +
                                      std::to_string(fields.size()) + " fields");
                continue;
            }
            const std::string* const values[3] = {&tokens[*L], &tokens[*first], &tokens[*second]};
            list.addRow(tokens[*name], values, lch, origin);
            continue;
        }

        if (head == "BEGIN_DATA_FORMAT") {
            where = Where::Format;
            fields.clear();
            for (std::size_t i = 1; i < tokens.size(); ++i) {
                if (upper(tokens[i]) == "END_DATA_FORMAT") {
                    where = Where::Header;
                    break;
                }
                fields.push_back(upper(tokens[i]));
            }
        } else if (head == "NUMBER_OF_SETS" && tokens.size() > 1) {
            double sets;
            // A count that is no whole number of sets a file could hold is not checked against.
            declaredSets = parseNumber(tokens[1], sets) && sets >= 0 && sets <= 1e9 &&
                                   sets == static_cast<double>(static_cast<long>(sets))
                               ? static_cast<long>(sets)
                               : -1;
        } else if (head == "BEGIN_DATA") {
            where = Where::Data;
            dataLine = lineNumber;
            readSets = 0;
            name = field(fields, "SAMPLE_NAME");
            if (!name)
                name = field(fields, "SAMPLE_ID");
            L = field(fields, "LAB_L");
            first = field(fields, "LAB_A");
            second = field(fields, "LAB_B");
            lch = !first || !second;
            if (lch) {
                first = field(fields, "LAB_C");
                second = field(fields, "LAB_H");
            }
            anyBlock = anyBlock || (name && L && first && second);
        }
    }
    if (where == Where::Data)
        list.skip(source + ":" + std::to_string(dataLine), "BEGIN_DATA without END_DATA");
    if (!anyBlock)
        list.failure = source + ": no data format with SAMPLE_NAME or SAMPLE_ID and LAB_L, LAB_A, "
                                "LAB_B (or LAB_C, LAB_H)";
    return list;
}
