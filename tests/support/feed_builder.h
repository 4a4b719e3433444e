#pragma once

// Builds feed replies for tests: `Record().Add("id", "7").Add("status", "SOON").Str()`.

#include <string>
#include <utility>
#include <vector>

namespace zelko::testing {

class Element {
 public:
  Element& Add(const std::string& name, const std::string& value) {
    text_ += "<" + name + ">" + value + "</" + name + ">";
    return *this;
  }
  Element& Nested(const std::string& name, const Element& inner) { return Add(name, inner.Str()); }
  const std::string& Str() const { return text_; }

 private:
  std::string text_;
};

inline std::string Reply(const std::vector<Element>& records) {
  std::string out;
  for (const auto& r : records) out += "<match>" + r.Str() + "</match>\n";
  return out;
}

}  // namespace zelko::testing
