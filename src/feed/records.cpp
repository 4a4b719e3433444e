#include "feed/records.h"

#include <algorithm>
#include <unordered_map>

namespace zelko {

namespace {
constexpr std::string_view kRecordOpen = "<match>";
constexpr std::string_view kRecordClose = "</match>";
}  // namespace

std::vector<std::string_view> CutRecords(std::string_view reply) {
  std::vector<std::string_view> records;
  std::size_t pos = 0;
  while (true) {
    const std::size_t open = reply.find(kRecordOpen, pos);
    if (open == std::string_view::npos) break;
    const std::size_t valueStart = open + kRecordOpen.size();
    const std::size_t close = reply.find(kRecordClose, valueStart);
    // Without its closing marker the last record is cut off; it is dropped.
    if (close == std::string_view::npos) break;
    records.push_back(reply.substr(valueStart, close - valueStart));
    pos = close + kRecordClose.size();
  }
  return records;
}

RecordReader::RecordReader(std::string_view text) : text_(text) {
  // Every marker "<x>" of the text, x holding neither '<' nor '>', is the opening marker of the
  // name x and, when x starts with '/', also the closing marker of the name after the '/'.
  // Each '<' begins at most one such marker: scanning on to the next '<' or '>' finds it, and
  // a '<' found first begins the next candidate. So one pass finds them all.
  std::unordered_map<std::string_view, std::size_t> index;
  auto tagOf = [&](std::string_view name) -> Tag& {
    const auto [it, inserted] = index.try_emplace(name, tags_.size());
    if (inserted) tags_.push_back(Tag{name, 0, {}, false});
    return tags_[it->second];
  };

  std::size_t pos = text_.find('<');
  while (pos != std::string_view::npos) {
    const std::size_t end = text_.find_first_of("<>", pos + 1);
    if (end == std::string_view::npos) break;
    if (text_[end] == '<') {
      pos = end;
      continue;
    }
    const std::string_view inner = text_.substr(pos + 1, end - pos - 1);
    Tag& opened = tagOf(inner);
    if (!opened.opened) {
      opened.opened = true;
      opened.firstOpenEnd = end + 1;
    }
    if (!inner.empty() && inner.front() == '/') {
      tagOf(inner.substr(1)).closingStarts.push_back(pos);
    }
    pos = text_.find('<', end + 1);
  }
  std::sort(tags_.begin(), tags_.end(), [](const Tag& a, const Tag& b) { return a.name < b.name; });
}

const RecordReader::Tag* RecordReader::Find(std::string_view name) const {
  const auto it = std::lower_bound(tags_.begin(), tags_.end(), name,
                                   [](const Tag& tag, std::string_view n) { return tag.name < n; });
  if (it == tags_.end() || it->name != name) return nullptr;
  return &*it;
}

namespace {

// The value of a name the index cannot hold (one with '<' or '>' in it), searched directly.
std::optional<std::string_view> SearchDirectly(std::string_view text, std::string_view name) {
  const std::string opening = "<" + std::string(name) + ">";
  const std::size_t open = text.find(opening);
  if (open == std::string_view::npos) return std::nullopt;
  const std::size_t valueStart = open + opening.size();
  const std::size_t close = text.find("</" + std::string(name) + ">", valueStart);
  if (close == std::string_view::npos) return std::nullopt;
  return text.substr(valueStart, close - valueStart);
}

}  // namespace

std::optional<std::string_view> RecordReader::Lookup(std::string_view name) const {
  if (name.find_first_of("<>") != std::string_view::npos) return SearchDirectly(text_, name);
  const Tag* tag = Find(name);
  if (tag == nullptr || !tag->opened) return std::nullopt;
  const auto close =
      std::lower_bound(tag->closingStarts.begin(), tag->closingStarts.end(), tag->firstOpenEnd);
  if (close == tag->closingStarts.end()) return std::nullopt;
  return text_.substr(tag->firstOpenEnd, *close - tag->firstOpenEnd);
}

std::string_view RecordReader::Get(std::string_view name) const {
  return Lookup(name).value_or(std::string_view{});
}

bool RecordReader::Has(std::string_view name) const {
  return Lookup(name).has_value();
}

}  // namespace zelko
