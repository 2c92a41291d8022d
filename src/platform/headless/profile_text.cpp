#include "platform/headless/profile_text.h"

#include <algorithm>

namespace corvex::platform::headless {

namespace {

constexpr const char* kBlanks = " \t\r";

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

ProfileText::ProfileText(const std::string& text) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t newline = text.find('\n', start);
    if (newline == std::string::npos) {
      lines_.push_back(Line{text.substr(start), ""});
      break;
    }
    const bool crlf = newline > start && text[newline - 1] == '\r';
    const size_t end = crlf ? newline - 1 : newline;
    lines_.push_back(Line{text.substr(start, end - start), crlf ? "\r\n" : "\n"});
    start = newline + 1;
  }
  if (!lines_.empty() && !lines_.front().ending.empty()) newline_ = lines_.front().ending;
}

ProfileText::Kind ProfileText::KindOf(const std::string& text) {
  const std::string trimmed = Trimmed(text);
  if (trimmed.empty()) return Kind::Blank;
  if (trimmed[0] == ';') return Kind::Comment;
  if (trimmed[0] == '[') return Kind::Section;
  return trimmed.find('=') != std::string::npos ? Kind::Entry : Kind::Other;
}

std::string ProfileText::SectionName(const std::string& text) {
  const std::string trimmed = Trimmed(text);
  const size_t close = trimmed.find(']');
  return Trimmed(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

std::string ProfileText::KeyName(const std::string& text) {
  return Trimmed(text.substr(0, text.find('=')));
}

template <typename Visit>
void ProfileText::VisitSection(const std::string& section, Visit visit) const {
  bool inside = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const Kind kind = KindOf(lines_[i].text);
    if (kind == Kind::Section) inside = SameName(SectionName(lines_[i].text), section);
    if (inside && visit(i, kind)) return;
  }
}

std::optional<std::string> ProfileText::Value(const std::string& section,
                                              const std::string& key) const {
  std::optional<std::string> found;
  VisitSection(section, [&](size_t i, Kind kind) {
    if (kind != Kind::Entry || !SameName(KeyName(lines_[i].text), key)) return false;
    const std::string& text = lines_[i].text;
    std::string value = Trimmed(text.substr(text.find('=') + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
      value = value.substr(1, value.size() - 2);
    }
    found = value;
    return true;
  });
  return found;
}

void ProfileText::Set(const std::string& section, const std::string& key,
                      const std::string& value) {
  // The first key of the name in any section of the name is the one that is read, so it is
  // the one that changes.
  std::optional<size_t> existing;
  VisitSection(section, [&](size_t i, Kind kind) {
    if (kind == Kind::Entry && SameName(KeyName(lines_[i].text), key)) existing = i;
    return existing.has_value();
  });
  if (existing) {
    lines_[*existing].text = KeyName(lines_[*existing].text) + "=" + value;
    return;
  }
  // Otherwise the key joins the first section of the name, after its last entry.
  std::optional<size_t> header, lastEntry;
  VisitSection(section, [&](size_t i, Kind kind) {
    if (kind == Kind::Section) {
      if (header) return true;
      header = i;
    } else if (kind == Kind::Entry || kind == Kind::Other) {
      lastEntry = i;
    }
    return false;
  });
  const std::string entry = key + "=" + value;
  if (header) {
    const size_t position = lastEntry.value_or(*header) + 1;
    EndLineBefore(position);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position), Line{entry, newline_});
    return;
  }
  EndLineBefore(lines_.size());
  if (!lines_.empty() && KindOf(lines_.back().text) != Kind::Blank) {
    lines_.push_back(Line{"", newline_});  // a blank line between sections
  }
  lines_.push_back(Line{"[" + section + "]", newline_});
  lines_.push_back(Line{entry, newline_});
}

void ProfileText::EndLineBefore(size_t position) {
  if (position > 0 && lines_[position - 1].ending.empty()) lines_[position - 1].ending = newline_;
}

std::string ProfileText::Text() const {
  std::string text;
  for (const Line& line : lines_) text += line.text + line.ending;
  return text;
}

}  // namespace corvex::platform::headless
