#pragma once

#include <map>
#include <optional>
#include <string>

namespace brontal {

struct FontSpec {
  std::string face;
  int size = 0;  // pixels
  bool bold = false;
  bool underline = false;
  bool italic = false;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// Fonts by the numeric id that layouts give in their "font" attribute.
class FontTable {
 public:
  void Add(int id, FontSpec font) { fonts_.insert_or_assign(id, std::move(font)); }
  // Also forgets the default font.
  void RemoveAll() {
    fonts_.clear();
    default_.reset();
  }
  const FontSpec* Find(int id) const {
    const auto it = fonts_.find(id);
    return it == fonts_.end() ? nullptr : &it->second;
  }
  void SetDefault(FontSpec font) { default_ = std::move(font); }
  const std::optional<FontSpec>& Default() const { return default_; }

 private:
  std::map<int, FontSpec> fonts_;
  std::optional<FontSpec> default_;
};

}  // namespace brontal
