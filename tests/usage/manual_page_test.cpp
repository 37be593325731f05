// The manual pages against the programs: each page names every option and exit status
// that its program's --help names, and renders without a single warning.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/programs.h"

namespace {

std::string page_path(const testing_support::Program& program) {
  return std::string(TAMSEL_MAN_DIR) + "/" + program.name + ".1";
}

// The page's source as plain text: font changes dropped, "\-" read as '-'.
std::vector<std::string> page_lines(const testing_support::Program& program) {
  const std::string source = testing_support::read_file(page_path(program));
  std::string text;
  for (std::size_t i = 0; i < source.size(); ++i) {
    const std::string_view rest = std::string_view(source).substr(i);
    if (rest.size() >= 3 && rest.substr(0, 2) == "\\f" &&
        std::string_view("BIRP").find(rest[2]) != std::string_view::npos) {
      i += 2;
    } else if (rest.substr(0, 2) == "\\-") {
      text += '-';
      ++i;
    } else {
      text += source[i];
    }
  }
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The lines of one .SH section of the page.
std::vector<std::string> section(const std::vector<std::string>& lines, const std::string& name) {
  std::vector<std::string> body;
  bool inside = false;
  for (const std::string& line : lines) {
    if (line.rfind(".SH ", 0) == 0) {
      std::string title = line.substr(4);
      title.erase(std::remove(title.begin(), title.end(), '"'), title.end());
      inside = title == name;
    } else if (inside) {
      body.push_back(line);
    }
  }
  return body;
}

// The lines of a "Heading:" block of the help text, up to the blank line after it.
std::vector<std::string> help_block(const std::string& help, const std::string& heading) {
  std::vector<std::string> block;
  std::istringstream in(help);
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    if (line == heading) {
      inside = true;
    } else if (inside && line.empty()) {
      break;
    } else if (inside) {
      block.push_back(line);
    }
  }
  return block;
}

// The options a help block names ("-h," and "--help" in "  -h, --help  show ...").
std::vector<std::string> words_starting_with_a_dash(const std::vector<std::string>& block) {
  std::vector<std::string> words;
  for (const std::string& line : block) {
    std::istringstream in(line);
    for (std::string word; in >> word && word[0] == '-';) {
      if (word.back() == ',') word.pop_back();
      words.push_back(word);
    }
  }
  return words;
}

bool contains(const std::vector<std::string>& lines, const std::string& text) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

TEST(ManualPages, NameEveryOptionAndExitStatusOfTheHelp) {
  for (const testing_support::Program& program : testing_support::all_programs()) {
    SCOPED_TRACE(program.name);
    const auto help = testing_support::run_shell(testing_support::quoted(program.path) + " --help");
    ASSERT_EQ(help.exit_code, 0);
    const auto lines = page_lines(program);
    ASSERT_FALSE(lines.empty()) << "no page at " << page_path(program);

    std::string title = program.name;
    for (char& c : title) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(lines[0].rfind(".TH " + title + " 1 ", 0), 0u) << lines[0];
    EXPECT_TRUE(contains(section(lines, "NAME"), program.name + " - "));
    EXPECT_NE(help.out.find("man " + program.name), std::string::npos);

    const auto options = help_block(help.out, "Options:");
    const auto statuses = help_block(help.out, "Exit status:");
    ASSERT_FALSE(options.empty());
    ASSERT_FALSE(statuses.empty());
    for (const std::string& option : words_starting_with_a_dash(options)) {
      EXPECT_TRUE(contains(section(lines, "OPTIONS"), option)) << option;
      EXPECT_TRUE(contains(section(lines, "SYNOPSIS"), option)) << option;
    }
    const auto exit_status = section(lines, "EXIT STATUS");
    for (const std::string& line : statuses) {
      std::string value;
      std::istringstream(line) >> value;  // "  0  every number was answered"
      const bool named =
          std::find(exit_status.begin(), exit_status.end(), ".B " + value) != exit_status.end();
      EXPECT_TRUE(named) << "exit status " << value;
    }
    for (const testing_support::Program& other : testing_support::all_programs()) {
      if (other.name == program.name) continue;
      EXPECT_TRUE(contains(section(lines, "SEE ALSO"), other.name + " (1)")) << other.name;
    }
  }
}

// The ZIP's manuals: each names the options and statuses of --help, links the other
// pages, and speaks of nothing that Windows lacks.
TEST(ManualPages, WindowsPagesAreWrittenForWindows) {
  for (const testing_support::Program& program : testing_support::all_programs()) {
    SCOPED_TRACE(program.name);
    const std::string page = testing_support::read_file(std::string(TAMSEL_WINDOWS_PAGES) + "/" +
                                                        program.name + ".html.in");
    std::vector<std::string> terms;  // what each <dt> names
    for (std::size_t at = 0; (at = page.find("<dt>", at)) != std::string::npos;) {
      at += 4;
      terms.push_back(page.substr(at, page.find("</dt>", at) - at));
    }
    const auto help = testing_support::run_shell(testing_support::quoted(program.path) + " --help");
    for (const std::string& option : words_starting_with_a_dash(help_block(help.out, "Options:"))) {
      EXPECT_TRUE(contains(terms, option)) << option;
    }
    for (const std::string& line : help_block(help.out, "Exit status:")) {
      std::string value;
      std::istringstream(line) >> value;
      EXPECT_NE(std::find(terms.begin(), terms.end(), value), terms.end()) << value;
    }
    for (const std::string word : {"SIG", "/dev/", "FIFO", "Ctrl-D", "$ ", "man ", "parallel"}) {
      EXPECT_EQ(page.find(word), std::string::npos) << word;
    }
    for (const std::string word : {"Ctrl-C", "Ctrl-Z", "%ERRORLEVEL%", "$LASTEXITCODE"}) {
      EXPECT_NE(page.find(word), std::string::npos) << word;
    }
    for (const testing_support::Program& other : testing_support::all_programs()) {
      if (other.name == program.name) continue;
      EXPECT_NE(page.find("<a href=\"" + other.name + ".html\">"), std::string::npos) << other.name;
    }
  }
}

struct Renderer {
  std::string tool;
  std::string command;  // the page's path follows
};

TEST(ManualPages, RenderWithoutWarnings) {
  const Renderer renderers[] = {{"groff", "groff -man -ww -z"},
                                {"mandoc", "mandoc -T lint -W warning"}};
  int used = 0;
  for (const Renderer& renderer : renderers) {
    if (!testing_support::have_tool(renderer.tool)) continue;
    ++used;
    for (const testing_support::Program& program : testing_support::all_programs()) {
      SCOPED_TRACE(renderer.tool + " " + program.name);
      const auto run = testing_support::run_shell(
          renderer.command + " " + testing_support::quoted(page_path(program)) + " 2>&1");
      EXPECT_EQ(run.exit_code, 0);
      EXPECT_EQ(run.out, "");
    }
  }
  if (used == 0) GTEST_SKIP() << "neither groff nor mandoc is installed";
}

}  // namespace
