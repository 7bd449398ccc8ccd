// Build step: turns the program's text catalogue into a C++ table.
//   norix_string_table_gen <catalogue.txt> <output.cpp>
// Any problem in the catalogue fails the build, so the compiled-in table is
// always complete and clean. The output is written to a temporary file and
// renamed, so an interrupted run never leaves a half-written source behind.

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "resources/strings/catalogue.h"

namespace {

namespace strings = norix::resources::strings;

// A C++ string literal holding exactly the bytes of text. Bytes outside
// printable ASCII are written as three-digit octal escapes, which, unlike hex
// escapes, cannot swallow a following character.
std::string Literal(std::string_view text) {
  std::string out = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c == '?') {
      out += "\\?";  // keeps "??x" from reading as a trigraph in older modes
    } else if (c >= 0x20U && c < 0x7FU) {
      out += ch;
    } else {
      out += '\\';
      out += static_cast<char>('0' + ((c >> 6U) & 7U));
      out += static_cast<char>('0' + ((c >> 3U) & 7U));
      out += static_cast<char>('0' + (c & 7U));
    }
  }
  out += '"';
  return out;
}

int Generate(const std::filesystem::path& input, const std::filesystem::path& output) {
  const auto catalogue = strings::ReadCatalogueFile(input);
  if (!catalogue) {
    std::cerr << input.string() << ": no such file\n";
    return 1;
  }
  if (!catalogue->problems.empty()) {
    for (const auto& problem : catalogue->problems) std::cerr << problem << '\n';
    return 1;
  }
  std::vector<strings::CatalogueEntry> entries = catalogue->entries;
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.id < b.id; });

  std::string source = "// Generated from " + input.filename().string() +
                       " by norix_string_table_gen. Do not edit.\n\n"
                       "#include <array>\n\n"
                       "#include \"resources/strings/builtin_texts.h\"\n\n"
                       "namespace norix::resources::strings {\n\n"
                       "namespace {\n\n"
                       "using std::string_view_literals::operator\"\"sv;\n\n"
                       "constexpr std::array<BuiltinText, " +
                       std::to_string(entries.size()) + "> kTexts{{\n";
  for (const auto& entry : entries) {
    source += "    {" + std::to_string(entry.id) + ", " + Literal(entry.text) + "sv},\n";
  }
  source +=
      "}};\n\n"
      "}  // namespace\n\n"
      "std::span<const BuiltinText> BuiltinTexts() noexcept { return kTexts; }\n\n"
      "}  // namespace norix::resources::strings\n";

  std::filesystem::path temporary = output;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << source;
    out.close();
    if (!out) {
      std::cerr << temporary.string() << ": cannot write\n";
      return 1;
    }
  }
  std::filesystem::rename(temporary, output);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: norix_string_table_gen <catalogue.txt> <output.cpp>\n";
    return 2;
  }
  try {
    return Generate(argv[1], argv[2]);
  } catch (const std::exception& e) {
    std::cerr << "norix_string_table_gen: " << e.what() << '\n';
    return 1;
  }
}
