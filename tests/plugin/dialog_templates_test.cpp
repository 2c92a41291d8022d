#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <span>
#include <string>
#include <vector>

#include "dialogs/dialog_templates.h"
#include "support/plugin_harness.h"

namespace corvex::testing {
namespace {

using namespace platform;

const std::string kSource = CORVEX_SOURCE_DIR;

// The resource script's statements with every name of resource.h and every style name
// replaced by its value and "a | b" by the one number it makes.
std::vector<std::string> ScriptStatements() {
  std::map<std::string, uint32_t> values = {{"IDOK", 1}};
  const std::regex definition(R"((?:#define|constexpr uint32_t) (\w+)(?: =)? (0x[0-9A-F]+|\d+))");
  for (const char* file : {"/src/resources/resource.h", "/src/platform/dialog_system.h"}) {
    const std::string text = PluginHarness::ReadFile(kSource + file);
    for (std::sregex_iterator m(text.begin(), text.end(), definition), end; m != end; ++m) {
      values[(*m)[1]] = static_cast<uint32_t>(std::stoul((*m)[2], nullptr, 0));
    }
  }
  const std::regex token(R"("[^"]*"|[\w-]+|\|)");
  std::vector<std::string> statements;
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
    std::string statement;
    for (const std::string& word : words) statement += (statement.empty() ? "" : " ") + word;
    if (!statement.empty()) statements.push_back(statement);
  }
  return statements;
}

// The same statements written from the tables the headless dialogs are built from.
std::vector<std::string> TableStatements() {
  const char* classes[] = {"Button", "Static", "ListBox", "msctls_trackbar32", "Edit"};
  auto quoted = [](const char* text) { return "\"" + std::string(text ? text : "") + "\""; };
  std::vector<std::string> statements;
  for (const DialogTemplate* table : {&kConfigPanelTemplate, &kAboutBoxTemplate}) {
    statements.push_back(std::to_string(table->resourceId) + " DIALOGEX 0 0 " +
                         std::to_string(table->width) + " " + std::to_string(table->height));
    statements.push_back("STYLE " + std::to_string(table->style));
    statements.push_back("CAPTION " + quoted(table->title));
    statements.push_back("FONT " + std::to_string(table->fontPointSize) + " " +
                         quoted(table->fontName));
    statements.push_back("BEGIN");
    for (const ControlTemplate& c : std::span(table->controls, table->controlCount)) {
      statements.push_back(
          "CONTROL " + (c.imageId != 0 ? std::to_string(c.imageId) : quoted(c.text)) + " " +
          std::to_string(c.id) + " " + quoted(classes[static_cast<int>(c.kind)]) + " " +
          std::to_string(c.style) + " " + std::to_string(c.x) + " " + std::to_string(c.y) +
          " " + std::to_string(c.width) + " " + std::to_string(c.height));
    }
    statements.push_back("END");
  }
  return statements;
}

TEST(DialogTemplates, TheResourceScriptHoldsTheSameTwoDialogsAsTheTables) {
  EXPECT_EQ(ScriptStatements(), TableStatements());
}

}  // namespace
}  // namespace corvex::testing
