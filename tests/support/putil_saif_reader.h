// A small SAIF reader for the tests.
#pragma once

#include <cctype>
#include <map>
#include <string>
#include <vector>

// What a small SAIF reader takes from a file: the header's values and each
// net's counts by its instance path ("design/top/u1/q").
struct SAIF_FILE {
    std::map<std::string, std::string> header;
    std::map<std::string, std::map<std::string, long long>> nets;
};

// Tokens: "(", ")", quoted strings (without quotes) and words; a backslash
// escapes the next character of a word.
inline std::vector<std::string> putil_saif_tokens(const std::string& text)
{
    std::vector<std::string> tokens;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '(' || c == ')') {
            tokens.emplace_back(1, c);
            ++i;
        } else if (c == '"') {
            const std::size_t end = text.find('"', i + 1);
            tokens.push_back(text.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            std::string word;
            for (; i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) && text[i] != '(' &&
                   text[i] != ')';
                 ++i)
                word += text[i] == '\\' ? text[++i] : text[i];
            tokens.push_back(word);
        }
    }
    return tokens;
}

inline SAIF_FILE putil_parse_saif(const std::string& text)
{
    SAIF_FILE file;
    const std::vector<std::string> t = putil_saif_tokens(text);
    std::vector<std::pair<std::string, int>> scopes;   // instance name, depth of its "("
    std::string net;
    int net_depth = -1;
    int depth = 0;
    for (std::size_t i = 0; i + 2 < t.size(); ++i) {
        if (t[i] == ")") {
            if (!scopes.empty() && scopes.back().second == depth)
                scopes.pop_back();
            net_depth = depth == net_depth ? -1 : net_depth;
            --depth;
            continue;
        }
        if (t[i] != "(")
            continue;
        ++depth;
        const std::string& key = t[i + 1];
        if (key == "INSTANCE") {
            scopes.emplace_back(t[i + 2], depth);
        } else if (key == "NET") {
            net_depth = depth;
        } else if (net_depth > 0 && depth == net_depth + 1) {
            net = key;
        } else if (net_depth > 0) {
            std::string path;
            for (const auto& scope : scopes)
                path += scope.first + "/";
            file.nets[path + net][key] = std::stoll(t[i + 2]);
        } else if (depth == 2) {
            file.header[key] = t[i + 2] + (t[i + 3] != ")" ? " " + t[i + 3] : "");
        }
    }
    return file;
}

// The nets whose T0 + T1 + TX + TZ is not the DURATION (all of them when
// the header has none).
inline std::vector<std::string> putil_saif_nets_off_duration(const SAIF_FILE& saif)
{
    const auto duration = saif.header.find("DURATION");
    std::vector<std::string> off;
    for (const auto& [name, counts] : saif.nets) {
        long long sum = 0;
        for (const char* key : {"T0", "T1", "TX", "TZ"})
            sum += counts.count(key) != 0 ? counts.at(key) : -1;
        if (duration == saif.header.end() || sum != std::stoll(duration->second))
            off.push_back(name);
    }
    return off;
}
