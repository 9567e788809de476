#include "xdr_content_model.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace qzwin::msxml::xdr {
namespace {

// Adds the sorted set `from` to the sorted set `into`.
void Merge(std::vector<uint32_t>& into, const std::vector<uint32_t>& from) {
  if (from.empty()) return;
  std::vector<uint32_t> merged;
  merged.reserve(into.size() + from.size());
  std::set_union(into.begin(), into.end(), from.begin(), from.end(), std::back_inserter(merged));
  into.swap(merged);
}

bool IsFlatMany(const Particle& root) {
  if (root.order != Order::kMany) return false;
  return std::none_of(root.children.begin(), root.children.end(),
                      [](const Particle& child) { return child.is_group; });
}

}  // namespace

struct ContentModel::Fragment {
  bool nullable = true;
  std::vector<uint32_t> first;
  std::vector<uint32_t> last;
};

ContentModel::ContentModel(const Particle& root, std::vector<ExpandedName> labels)
    : labels_(std::move(labels)), next_label_same_name_(labels_.size(), -1) {
  for (int i = static_cast<int>(labels_.size()) - 1; i >= 0; --i) {
    auto [it, inserted] = first_label_by_name_.try_emplace(labels_[i].name, i);
    if (!inserted) {
      next_label_same_name_[i] = it->second;
      it->second = i;
    }
  }

  counting_ = IsFlatMany(root);
  if (counting_) {
    min_count_.assign(labels_.size(), 0);
    max_count_.assign(labels_.size(), 0);
    for (const Particle& ref : root.children) {
      if (!ref.optional) ++min_count_[ref.label];
      uint32_t& max = max_count_[ref.label];
      if (ref.repeatable || max == UINT32_MAX) max = UINT32_MAX;
      else ++max;
    }
    return;
  }

  Fragment whole = Build(root);
  nullable_ = whole.nullable;
  first_ = std::move(whole.first);
  is_last_.assign(position_label_.size(), false);
  for (uint32_t p : whole.last) is_last_[p] = true;
}

// Glushkov construction: first and last positions of each particle, and the
// follow sets that link them.
ContentModel::Fragment ContentModel::Build(const Particle& particle) {
  Fragment body;
  if (!particle.is_group) {
    uint32_t position = static_cast<uint32_t>(position_label_.size());
    position_label_.push_back(particle.label);
    follow_.emplace_back();
    body.nullable = false;
    body.first = {position};
    body.last = {position};
  } else if (particle.order == Order::kSeq) {
    for (const Particle& child : particle.children) {
      Fragment part = Build(child);
      AddFollow(body.last, part.first);
      if (body.nullable) Merge(body.first, part.first);
      if (part.nullable) Merge(body.last, part.last);
      else body.last = std::move(part.last);
      body.nullable = body.nullable && part.nullable;
    }
  } else {  // one or many: a choice among the children
    body.nullable = particle.children.empty();
    for (const Particle& child : particle.children) {
      Fragment part = Build(child);
      Merge(body.first, part.first);
      Merge(body.last, part.last);
      body.nullable = body.nullable || part.nullable;
    }
    if (particle.order == Order::kMany) {
      AddFollow(body.last, body.first);
      body.nullable = true;
    }
  }
  if (particle.repeatable) AddFollow(body.last, body.first);
  if (particle.optional) body.nullable = true;
  return body;
}

void ContentModel::AddFollow(const std::vector<uint32_t>& from, const std::vector<uint32_t>& to) {
  for (uint32_t p : from) Merge(follow_[p], to);
}

int ContentModel::LabelOf(std::string_view ns, std::string_view name) const {
  auto it = first_label_by_name_.find(name);
  if (it == first_label_by_name_.end()) return -1;
  for (int label = it->second; label >= 0; label = next_label_same_name_[label])
    if (labels_[label].ns == ns) return label;
  return -1;
}

void ContentModel::Start(MatchState& state) const {
  state.at_start = true;
  state.active.clear();
  state.counts.assign(counting_ ? labels_.size() : 0, 0);
}

const std::vector<uint32_t>& ContentModel::Candidates(const MatchState& state,
                                                      std::vector<uint32_t>& merged) const {
  if (state.at_start) return first_;
  if (state.active.size() == 1) return follow_[state.active.front()];
  merged.clear();
  for (uint32_t p : state.active) Merge(merged, follow_[p]);
  return merged;
}

StepResult ContentModel::Step(MatchState& state, int label) const {
  if (counting_) {
    uint32_t& count = state.counts[label];
    if (count == max_count_[label]) return StepResult::kTooMany;
    ++count;
    state.at_start = false;
    return StepResult::kAccepted;
  }
  std::vector<uint32_t> merged;
  const std::vector<uint32_t>& candidates = Candidates(state, merged);
  state.scratch.clear();
  for (uint32_t p : candidates)
    if (position_label_[p] == label) state.scratch.push_back(p);
  if (state.scratch.empty()) return StepResult::kUnexpected;
  state.active.swap(state.scratch);
  state.at_start = false;
  return StepResult::kAccepted;
}

bool ContentModel::IsComplete(const MatchState& state) const {
  if (counting_) {
    for (size_t label = 0; label < labels_.size(); ++label)
      if (state.counts[label] < min_count_[label]) return false;
    return true;
  }
  if (state.at_start) return nullable_;
  return std::any_of(state.active.begin(), state.active.end(),
                     [this](uint32_t p) { return is_last_[p]; });
}

std::vector<int> ContentModel::Expected(const MatchState& state) const {
  std::vector<bool> wanted(labels_.size(), false);
  if (counting_) {
    bool complete = IsComplete(state);
    for (size_t label = 0; label < labels_.size(); ++label) {
      bool missing = state.counts[label] < min_count_[label];
      bool room = state.counts[label] < max_count_[label];
      wanted[label] = complete ? room : missing;
    }
  } else {
    std::vector<uint32_t> merged;
    for (uint32_t p : Candidates(state, merged)) wanted[position_label_[p]] = true;
  }
  std::vector<int> expected;
  for (size_t label = 0; label < labels_.size(); ++label)
    if (wanted[label]) expected.push_back(static_cast<int>(label));
  return expected;
}

}  // namespace qzwin::msxml::xdr
