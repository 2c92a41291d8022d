#pragma once
#include <optional>
#include <string>
#include <vector>

namespace corvex::platform::headless {

// The text of a private-profile file, edited the way the Windows profile calls edit it: every
// line it is not asked to change stays byte for byte as it was (comments, blank lines, lines
// without '=', other sections, the line endings), a key is found by its first occurrence, and
// a quoted value is read without its quotes. Section and key names compare without regard to
// ASCII case.
class ProfileText {
 public:
  explicit ProfileText(const std::string& text);

  // The value of the first key of that name in a section of that name (blanks around it
  // removed, then one pair of matching quotes); no value when there is no such key.
  std::optional<std::string> Value(const std::string& section, const std::string& key) const;

  // Replaces the first such key's line with key=value; a missing key goes after the last
  // entry of the first section of that name, a missing section at the end of the file.
  void Set(const std::string& section, const std::string& key, const std::string& value);

  std::string Text() const;

 private:
  struct Line {
    std::string text;    // without its ending
    std::string ending;  // "\n", "\r\n", or empty for a last line without one
  };
  enum class Kind { Blank, Comment, Section, Entry, Other };
  static Kind KindOf(const std::string& text);
  static std::string SectionName(const std::string& text);
  static std::string KeyName(const std::string& text);
  // Calls visit(index, kind) for each line of each section named section, in file order,
  // and the header's own index first with Kind::Section; stops when visit returns true.
  template <typename Visit>
  void VisitSection(const std::string& section, Visit visit) const;
  // Gives the line before position a line ending, so that a line can follow it.
  void EndLineBefore(size_t position);

  std::vector<Line> lines_;
  std::string newline_ = "\n";  // the ending new lines get: the file's own first one
};

}  // namespace corvex::platform::headless
