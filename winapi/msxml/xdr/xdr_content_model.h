// The element content of an XDR element type as a matcher that takes the
// child elements one at a time, without backtracking.
//
// A content model whose top level is order="many" over plain element
// references (every mixed model, and most others) is matched with one counter
// per element, so minOccurs and maxOccurs hold in any order. Everything else
// (seq, one, groups) becomes a position automaton: the set of element
// references that may come next, advanced per child.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xdr_names.h"

namespace qzwin::msxml::xdr {

enum class Order { kSeq, kOne, kMany };

// One node of the declared model: an `element` reference or a `group`.
struct Particle {
  bool is_group = false;
  Order order = Order::kSeq;  // groups only
  bool optional = false;      // minOccurs="0"
  bool repeatable = false;    // maxOccurs="*"
  int label = -1;             // element references only: index into the labels
  std::vector<Particle> children;
};

// Where a matcher stands within one parent element. Reused between parents.
struct MatchState {
  bool at_start = true;
  std::vector<uint32_t> active;  // automaton: positions reached
  std::vector<uint32_t> counts;  // counters: occurrences per label
  std::vector<uint32_t> scratch;
};

enum class StepResult { kAccepted, kUnexpected, kTooMany };

class ContentModel {
 public:
  // Largest number of element references one model may hold.
  static constexpr size_t kMaxPositions = 1024;

  ContentModel() = default;
  // root is the element type itself: a group with its order and references.
  ContentModel(const Particle& root, std::vector<ExpandedName> labels);

  const std::vector<ExpandedName>& labels() const { return labels_; }
  size_t position_count() const { return position_label_.size(); }

  // The label of a child element, or -1 when the model does not name it.
  int LabelOf(std::string_view ns, std::string_view name) const;

  void Start(MatchState& state) const;
  StepResult Step(MatchState& state, int label) const;
  bool IsComplete(const MatchState& state) const;
  // Labels that could come next (after a failed step or at an incomplete end),
  // without repeats, in declaration order.
  std::vector<int> Expected(const MatchState& state) const;

 private:
  struct Fragment;
  Fragment Build(const Particle& particle);
  void AddFollow(const std::vector<uint32_t>& from, const std::vector<uint32_t>& to);
  // The positions that may come next; `merged` holds them when several
  // active positions must be joined.
  const std::vector<uint32_t>& Candidates(const MatchState& state,
                                          std::vector<uint32_t>& merged) const;

  std::vector<ExpandedName> labels_;
  NameMap<int> first_label_by_name_;
  std::vector<int> next_label_same_name_;

  bool counting_ = false;
  // Counter mode.
  std::vector<uint32_t> min_count_;
  std::vector<uint32_t> max_count_;  // UINT32_MAX: unbounded
  // Automaton mode.
  bool nullable_ = true;
  std::vector<int> position_label_;
  std::vector<uint32_t> first_;
  std::vector<std::vector<uint32_t>> follow_;
  std::vector<bool> is_last_;
};

}  // namespace qzwin::msxml::xdr
