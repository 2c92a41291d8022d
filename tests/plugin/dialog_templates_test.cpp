#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs/dialog_templates.h"

namespace corvex::testing {
namespace {

using namespace platform;

// Reads the Windows resource script the way the resource compiler would need it for these two
// dialogs: the identifiers of resource.h, the style names, and the CONTROL lines.
class ResourceScript {
 public:
  struct Control {
    std::string text;
    int32_t id;
    std::string className;
    uint32_t style;
    int32_t x, y, width, height;
  };
  struct Dialog {
    int32_t id = 0;
    int32_t width = 0, height = 0;
    uint32_t style = 0;
    std::string caption, fontName;
    int32_t fontSize = 0;
    std::vector<Control> controls;
  };

  ResourceScript() {
    const std::string folder = std::string(CORVEX_SOURCE_DIR) + "/src/resources/";
    std::ifstream header(folder + "resource.h");
    std::string word, name;
    long value;
    for (std::string line; std::getline(header, line);) {
      std::istringstream in(line);
      if (in >> word >> name >> value && word == "#define") symbols_[name] = value;
    }
    std::ifstream script(folder + "vis_corvex.rc");
    Dialog* open = nullptr;
    for (std::string line; std::getline(script, line);) {
      const std::vector<std::string> parts = Split(line);
      if (parts.empty()) continue;
      std::istringstream first(parts[0]);
      std::string a, b;
      first >> a >> b;
      if (b == "DIALOGEX") {
        dialogs_.push_back(Dialog{});
        open = &dialogs_.back();
        open->id = Number(a);
        open->width = Number(parts[2]);
        open->height = Number(parts[3]);
      } else if (open != nullptr && a == "STYLE") {
        open->style = Number(parts[0].substr(parts[0].find("STYLE") + 5));
      } else if (open != nullptr && a == "CAPTION") {
        open->caption = Unquote(parts[0].substr(parts[0].find('"')));
      } else if (open != nullptr && a == "FONT") {
        open->fontSize = Number(b);
        open->fontName = Unquote(parts[1]);
      } else if (open != nullptr && a == "CONTROL" && parts.size() == 8) {
        const std::string text = parts[0].substr(parts[0].find("CONTROL") + 7);
        open->controls.push_back(Control{Unquote(text), Number(parts[1]), Unquote(parts[2]),
                                         static_cast<uint32_t>(Number(parts[3])),
                                         Number(parts[4]), Number(parts[5]), Number(parts[6]),
                                         Number(parts[7])});
      } else if (a == "END") {
        open = nullptr;
      }
    }
  }

  const Dialog* Find(int32_t id) const {
    for (const Dialog& dialog : dialogs_) {
      if (dialog.id == id) return &dialog;
    }
    return nullptr;
  }

  // A number, a name, or names joined with '|'.
  int32_t Number(std::string text) const {
    uint32_t value = 0;
    std::istringstream in(text);
    for (std::string term; std::getline(in, term, '|');) {
      term = Trim(term);
      if (term.empty()) continue;
      if (term[0] == '-' || std::isdigit(static_cast<unsigned char>(term[0]))) {
        value |= static_cast<uint32_t>(std::stol(term));
      } else {
        auto found = symbols_.find(term);
        EXPECT_NE(found, symbols_.end()) << "unknown name " << term;
        if (found != symbols_.end()) value |= static_cast<uint32_t>(found->second);
      }
    }
    return static_cast<int32_t>(value);
  }

 private:
  static std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    const size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
  }
  static std::string Unquote(std::string text) {
    text = Trim(text);
    return text.size() >= 2 && text.front() == '"' ? text.substr(1, text.size() - 2) : text;
  }
  // The comma-separated parts of a line, commas inside quotes kept.
  static std::vector<std::string> Split(const std::string& line) {
    if (Trim(line).rfind("//", 0) == 0 || Trim(line).rfind("#", 0) == 0) return {};
    std::vector<std::string> parts(1);
    bool quoted = false;
    for (char c : line) {
      if (c == '"') quoted = !quoted;
      if (c == ',' && !quoted) {
        parts.emplace_back();
      } else {
        parts.back() += c;
      }
    }
    return Trim(parts[0]).empty() ? std::vector<std::string>{} : parts;
  }

  std::map<std::string, long> symbols_ = {
      {"IDOK", 1},
      {"WS_POPUP", WS_POPUP},
      {"WS_CAPTION", WS_CAPTION},
      {"WS_BORDER", WS_BORDER},
      {"WS_VSCROLL", WS_VSCROLL},
      {"WS_SYSMENU", WS_SYSMENU},
      {"WS_GROUP", WS_GROUP},
      {"DS_3DLOOK", DS_3DLOOK},
      {"DS_SETFONT", DS_SETFONT},
      {"DS_MODALFRAME", DS_MODALFRAME},
      {"DS_SETFOREGROUND", DS_SETFOREGROUND},
      {"DS_CENTER", DS_CENTER},
      {"BS_PUSHBUTTON", BS_PUSHBUTTON},
      {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
      {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
      {"BS_GROUPBOX", BS_GROUPBOX},
      {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON},
      {"BS_LEFTTEXT", BS_LEFTTEXT},
      {"SS_LEFT", SS_LEFT},
      {"SS_CENTER", SS_CENTER},
      {"SS_RIGHT", SS_RIGHT},
      {"SS_BITMAP", SS_BITMAP},
      {"SS_REALSIZEIMAGE", SS_REALSIZEIMAGE},
      {"SS_SUNKEN", SS_SUNKEN},
      {"LBS_NOTIFY", LBS_NOTIFY},
      {"LBS_NOINTEGRALHEIGHT", LBS_NOINTEGRALHEIGHT},
      {"TBS_AUTOTICKS", TBS_AUTOTICKS},
      {"ES_MULTILINE", ES_MULTILINE},
      {"ES_AUTOVSCROLL", ES_AUTOVSCROLL},
      {"ES_READONLY", ES_READONLY},
  };
  std::vector<Dialog> dialogs_;
};

const char* ClassName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button: return "Button";
    case ControlKind::Text: return "Static";
    case ControlKind::ListBox: return "ListBox";
    case ControlKind::Trackbar: return "msctls_trackbar32";
    case ControlKind::Edit: return "Edit";
  }
  return "";
}

void ExpectSameDialog(const ResourceScript& script, const DialogTemplate& table) {
  const ResourceScript::Dialog* dialog = script.Find(table.resourceId);
  ASSERT_NE(dialog, nullptr) << table.resourceId;
  EXPECT_EQ(dialog->caption, table.title);
  EXPECT_EQ(dialog->style, table.style);
  EXPECT_EQ(dialog->fontName, table.fontName);
  EXPECT_EQ(dialog->fontSize, table.fontPointSize);
  EXPECT_EQ(dialog->width, table.width);
  EXPECT_EQ(dialog->height, table.height);
  ASSERT_EQ(dialog->controls.size(), table.controlCount);
  for (size_t i = 0; i < table.controlCount; ++i) {
    const ControlTemplate& row = table.controls[i];
    const ResourceScript::Control& line = dialog->controls[i];
    SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(row.id));
    EXPECT_EQ(line.id, row.id);
    EXPECT_EQ(line.className, ClassName(row.kind));
    EXPECT_EQ(line.style, row.style);
    if (row.imageId != 0) {
      EXPECT_EQ(script.Number(line.text), row.imageId);
    } else {
      EXPECT_EQ(line.text, row.text ? row.text : "");
    }
    EXPECT_EQ(line.x, row.x);
    EXPECT_EQ(line.y, row.y);
    EXPECT_EQ(line.width, row.width);
    EXPECT_EQ(line.height, row.height);
  }
}

TEST(DialogTemplates, TheResourceScriptHoldsTheSameTwoDialogsAsTheTable) {
  ResourceScript script;
  ExpectSameDialog(script, kConfigPanelTemplate);
  ExpectSameDialog(script, kAboutBoxTemplate);
}

}  // namespace
}  // namespace corvex::testing
