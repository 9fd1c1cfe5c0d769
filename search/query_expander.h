// A typed query as the strings a text may contain to match it: the query
// itself, read as romaji in hiragana and katakana (an unfinished syllable at
// the end as any it can begin), and the dictionary's words whose reading
// starts so. C/Migemo makes the expansion; its romaji and width tables are
// in the program, its dictionary is a file that may be missing.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct _migemo;

namespace kst {

// At most this many strings a query (the rest are dropped).
constexpr size_t kMaxQueryStrings = 60000;

class QueryExpander {
  public:
    QueryExpander();
    ~QueryExpander();
    QueryExpander(const QueryExpander&) = delete;
    QueryExpander& operator=(const QueryExpander&) = delete;

    // The tables are in (false: out of memory; Expand gives the query alone).
    bool Ready() const { return object != nullptr; }
    // 1: the dictionary file is sound and in use; 0: missing, damaged or
    // not code page 932, and nothing changed.
    int LoadDictionary(const std::string& path);
    bool HasDictionary() const { return dictionary; }
    // query: code page 932, without control characters. Never empty for a
    // non-empty query: the query itself comes first.
    std::vector<std::string> Expand(const std::string& query) const;

  private:
    bool AddTables();
    _migemo* object = nullptr;
    bool dictionary = false;
};

} // namespace kst
