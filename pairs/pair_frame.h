#pragma once
// The frame every pair export shares: fetch, build, append, release.

#include <array>
#include <cstddef>
#include <iterator>

#include "pairs/format_number.h"
#include "pairs/pair_row.h"
#include "pairs/record_guard.h"

namespace velmora {

template <class Record>
WString PairValue(const Record& record, const PairRow<Record>& row) {
  if (row.number != nullptr) {
    WChar buffer[100];
    FormatNumber(buffer, WTEXT("%d"), record.*row.number);
    return WString(buffer);
  }
  const WChar* text = record.*row.text;
  return text != nullptr ? WString(text) : WString();
}

// Builds all of a record's pairs first and appends them in one step: if building or growing
// `pairs` throws, `pairs` is left as it was (moving the built strings cannot throw).
template <class Record, std::size_t N>
void AppendPairs(PairList& pairs, const Record& record, const PairRow<Record> (&rows)[N]) {
  std::array<std::pair<WString, WString>, N> built;
  for (std::size_t i = 0; i < N; ++i) {
    built[i].second = PairValue(record, rows[i]);
    built[i].first = rows[i].label;
  }
  pairs.insert(pairs.end(), std::make_move_iterator(built.begin()),
               std::make_move_iterator(built.end()));
}

// A single record's pairs: -1 (nothing appended, nothing freed) when no record comes.
template <class Record, void (*Get)(Record**), void (*Free)(Record**), std::size_t N>
int RecordPairs(PairList& pairs, const PairRow<Record> (&rows)[N]) {
  RecordGuard<Record, Get, Free> record;
  if (!record) return -1;
  AppendPairs(pairs, *record.get(), rows);
  return 0;
}

// A list's pairs, node by node in list order: a failure keeps the groups already appended.
template <class Node, void (*Get)(Node**), void (*Free)(Node**), std::size_t N>
int ListPairs(PairList& pairs, const PairRow<Node> (&rows)[N]) {
  RecordGuard<Node, Get, Free> list;
  if (!list) return -1;
  for (const Node* node = list.get(); node != nullptr; node = node->next) {
    AppendPairs(pairs, *node, rows);
  }
  return 0;
}

}  // namespace velmora
