#include "search/query_expander.h"

#include <cstdio>
#include <new>

#include "reform/char_convert.h"
#include "search/dictionary_check.h"
#include "search/migemo_access.h"
#include "search/pattern_expand.h"

namespace kst {
namespace {

struct Table {
    int id;
    const unsigned char* data;
    size_t size;
};

bool IsSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The library's table format: a key and a value a line, '#' starting a
// comment unless doubled ("##" is the key '#').
bool AddTable(migemo* object, const Table& t) {
    size_t at = 0;
    while (at < t.size) {
        size_t end = at;
        while (end < t.size && t.data[end] != '\n') ++end;
        size_t k = at;
        while (k < end && IsSpace(t.data[k])) ++k;
        if (k < end && t.data[k] == '#') {
            if (k + 1 < end && t.data[k + 1] == '#') ++k; // "##": the key '#'
            else k = end;
        }
        if (k < end) {
            size_t keyEnd = k;
            while (keyEnd < end && !IsSpace(t.data[keyEnd])) ++keyEnd;
            size_t v = keyEnd;
            while (v < end && IsSpace(t.data[v])) ++v;
            size_t valueEnd = v;
            while (valueEnd < end && !IsSpace(t.data[valueEnd])) ++valueEnd;
            if (valueEnd > v) {
                const std::string key(reinterpret_cast<const char*>(t.data + k), keyEnd - k);
                const std::string value(reinterpret_cast<const char*>(t.data + v), valueEnd - v);
                if (!kst_migemo_add_table_entry(object, t.id, reinterpret_cast<const unsigned char*>(key.c_str()),
                                                reinterpret_cast<const unsigned char*>(value.c_str())))
                    return false;
            }
        }
        at = end + 1;
    }
    return true;
}

bool ReadDictionaryFile(const std::string& path, std::string& content) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    ok = size > 0 && static_cast<unsigned long>(size) <= kMaxDictionaryBytes && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        content.resize(static_cast<size_t>(size));
        ok = std::fread(&content[0], 1, content.size(), f) == content.size();
    }
    std::fclose(f);
    return ok;
}

std::string LowerAsciiOf(const std::string& query) {
    std::string lower = query;
    for (size_t k = 0; k < lower.size(); ++k) {
        const unsigned char b = static_cast<unsigned char>(lower[k]);
        if (IsLeadByte(b)) {
            ++k; // a trail byte is never a letter
            continue;
        }
        if (b >= 'A' && b <= 'Z') lower[k] = static_cast<char>(b + ('a' - 'A'));
    }
    return lower;
}

} // namespace

QueryExpander::QueryExpander() {
    object = kst_migemo_open_cp932();
    if (!object) return;
    if (!AddTables()) {
        migemo_close(object);
        object = nullptr;
        return;
    }
    kst_migemo_set_plain_operators(object);
}

QueryExpander::~QueryExpander() {
    if (object) migemo_close(object);
}

bool QueryExpander::AddTables() {
    const Table tables[] = {
        {MIGEMO_DICTID_ROMA2HIRA, kst_migemo_table_roma2hira, kst_migemo_table_roma2hira_size},
        {MIGEMO_DICTID_HIRA2KATA, kst_migemo_table_hira2kata, kst_migemo_table_hira2kata_size},
        {MIGEMO_DICTID_HAN2ZEN, kst_migemo_table_han2zen, kst_migemo_table_han2zen_size},
        {MIGEMO_DICTID_ZEN2HAN, kst_migemo_table_zen2han, kst_migemo_table_zen2han_size},
    };
    for (const Table& t : tables)
        if (!AddTable(object, t)) return false;
    return true;
}

int QueryExpander::LoadDictionary(const std::string& path) {
    if (!object || dictionary) return 0;
    try {
        std::string content;
        if (!ReadDictionaryFile(path, content) || !IsSoundDictionary(content.data(), content.size())) return 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (migemo_load(object, MIGEMO_DICTID_MIGEMO, path.c_str()) != MIGEMO_DICTID_MIGEMO) return 0;
    dictionary = kst_migemo_has_dictionary(object) != 0;
    return dictionary ? 1 : 0;
}

std::vector<std::string> QueryExpander::Expand(const std::string& query) const {
    std::vector<std::string> strings;
    if (query.empty()) return strings;
    strings.push_back(query);
    if (!object) return strings;
    // Lower case: the library would cut the query into words at capitals,
    // and the matcher ignores case anyway.
    const std::string lower = LowerAsciiOf(query);
    unsigned char* pattern = migemo_query(object, reinterpret_cast<const unsigned char*>(lower.c_str()));
    if (!pattern) return strings;
    const std::string text(reinterpret_cast<const char*>(pattern));
    migemo_release(object, pattern);
    ExpandPattern(text, kMaxQueryStrings, strings);
    return strings;
}

} // namespace kst
