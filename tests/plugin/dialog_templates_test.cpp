#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <span>
#include <string>
#include <vector>

#include "dialogs/dialog_templates.h"
#include "support/plugin_harness.h"

namespace corvex::testing {
namespace {

using namespace platform;

const std::string kSource = CORVEX_SOURCE_DIR;

// The resource script's statements, one a line, with every name of resource.h and every
// style name replaced by its value and "a | b" by the one number it makes. The style names are
// the system's, each paired with the constant the tables use.
std::string ScriptStatements() {
  std::map<std::string, uint32_t> values = {
      {"IDOK", id::Ok},
      {"WS_POPUP", ws::Popup},
      {"WS_CAPTION", ws::Caption},
      {"WS_BORDER", ws::Border},
      {"WS_VSCROLL", ws::VScroll},
      {"WS_SYSMENU", ws::SysMenu},
      {"WS_GROUP", ws::Group},
      {"DS_3DLOOK", ds::Look3D},
      {"DS_SETFONT", ds::SetFont},
      {"DS_MODALFRAME", ds::ModalFrame},
      {"DS_SETFOREGROUND", ds::SetForeground},
      {"DS_CENTER", ds::Center},
      {"BS_PUSHBUTTON", bs::PushButton},
      {"BS_DEFPUSHBUTTON", bs::DefPushButton},
      {"BS_AUTOCHECKBOX", bs::AutoCheckBox},
      {"BS_GROUPBOX", bs::GroupBox},
      {"BS_AUTORADIOBUTTON", bs::AutoRadioButton},
      {"BS_LEFTTEXT", bs::LeftText},
      {"SS_LEFT", ss::Left},
      {"SS_CENTER", ss::Center},
      {"SS_RIGHT", ss::Right},
      {"SS_BITMAP", ss::Bitmap},
      {"SS_REALSIZEIMAGE", ss::RealSizeImage},
      {"SS_SUNKEN", ss::Sunken},
      {"LBS_NOTIFY", lbs::Notify},
      {"LBS_NOINTEGRALHEIGHT", lbs::NoIntegralHeight},
      {"TBS_AUTOTICKS", tbs::AutoTicks},
      {"ES_MULTILINE", es::Multiline},
      {"ES_AUTOVSCROLL", es::AutoVScroll},
      {"ES_READONLY", es::ReadOnly},
  };
  const std::regex definition(R"(#define (\w+) (0x[0-9A-F]+|\d+))");
  const std::string text = PluginHarness::ReadFile(kSource + "/src/resources/resource.h");
  for (std::sregex_iterator m(text.begin(), text.end(), definition), end; m != end; ++m) {
    values[(*m)[1]] = static_cast<uint32_t>(std::stoul((*m)[2], nullptr, 0));
  }
  const std::regex token(R"("[^"]*"|[\w-]+|\|)");
  std::string statements;
  std::ifstream script(kSource + "/src/resources/vis_corvex.rc");
  for (std::string line; std::getline(script, line);) {
    if (line.empty() || line[0] == '/' || line[0] == '#') continue;
    std::vector<std::string> words;
    for (std::sregex_iterator m(line.begin(), line.end(), token), end; m != end; ++m) {
      std::string word = values.count(m->str()) ? std::to_string(values[m->str()]) : m->str();
      if (!words.empty() && words.back() == "|") {
        words.pop_back();
        word = std::to_string(std::stoul(words.back()) | std::stoul(word));
        words.pop_back();
      }
      words.push_back(word);
    }
    for (const std::string& word : words) {
      statements += word + (&word == &words.back() ? "\n" : " ");
    }
  }
  return statements;
}

// The same statements written from the tables the headless dialogs are built from.
std::string TableStatements() {
  const char* classes[] = {"Button", "Static", "ListBox", "msctls_trackbar32", "Edit"};
  auto quoted = [](const char* text) {
    std::string word(1, '"');  // appended, not "..." + text: GCC 12 at -O3 warns falsely there
    return word.append(text ? text : "").append(1, '"');
  };
  std::ostringstream out;
  for (const DialogTemplate* table : {&kConfigPanelTemplate, &kAboutBoxTemplate}) {
    out << table->resourceId << " DIALOGEX 0 0 " << table->width << " " << table->height
        << "\nSTYLE " << table->style << "\nCAPTION " << quoted(table->title) << "\nFONT "
        << table->fontPointSize << " " << quoted(table->fontName) << "\nBEGIN\n";
    for (const ControlTemplate& c : std::span(table->controls, table->controlCount)) {
      out << "CONTROL " << (c.imageId != 0 ? std::to_string(c.imageId) : quoted(c.text)) << " "
          << c.id << " " << quoted(classes[static_cast<int>(c.kind)]) << " " << c.style << " "
          << c.x << " " << c.y << " " << c.width << " " << c.height << "\n";
    }
    out << "END\n";
  }
  return out.str();
}

TEST(DialogTemplates, TheResourceScriptHoldsTheSameTwoDialogsAsTheTables) {
  EXPECT_EQ(ScriptStatements(), TableStatements());
}

}  // namespace
}  // namespace corvex::testing
