#include "shell/text_module.h"

#include <cstdio>
#include <utility>

#include "resources/strings/builtin_texts.h"

namespace norix::shell {

namespace strings = resources::strings;

namespace {

std::size_t IndexOf(int id) { return static_cast<std::size_t>(id - strings::kFirstTextId); }

bool InRange(int id) { return strings::IsTextId(id); }

// The program's own table, made once and shared by every module that uses it.
std::shared_ptr<const std::array<std::string, strings::kTextIdCount>> OwnTexts() {
  static const auto texts = [] {
    auto table = std::make_shared<std::array<std::string, strings::kTextIdCount>>();
    for (const strings::BuiltinText& entry : strings::BuiltinTexts()) {
      if (InRange(entry.id)) (*table)[IndexOf(entry.id)] = entry.text;
    }
    return std::shared_ptr<const std::array<std::string, strings::kTextIdCount>>(std::move(table));
  }();
  return texts;
}

}  // namespace

TextModule::TextModule() : texts_(OwnTexts()) {}

TextModule::TextModule(std::shared_ptr<const Texts> texts, std::filesystem::path path)
    : texts_(std::move(texts)), catalogue_path_(std::move(path)) {}

std::string_view TextModule::Text(int id) const noexcept {
  if (!InRange(id)) return {};
  return (*texts_)[IndexOf(id)];
}

std::string TextModule::LoadText(int id, std::size_t buffer_chars) const {
  const std::string_view text = Text(id);
  if (buffer_chars <= 1) return {};
  const std::size_t limit = buffer_chars - 1;
  std::size_t end = 0;
  std::size_t chars = 0;
  while (end < text.size() && chars < limit) {
    ++end;  // past the lead byte, then past its continuation bytes
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0U) == 0x80U) ++end;
    ++chars;
  }
  return std::string(text.substr(0, end));
}

TextModule TextModule::FromCatalogue(const strings::Catalogue& catalogue,
                                     std::filesystem::path path,
                                     std::vector<std::string>* problems) {
  const TextModule own;
  auto texts = std::make_shared<Texts>();
  for (const strings::CatalogueEntry& entry : catalogue.entries) {
    if (!InRange(entry.id)) continue;
    const std::string_view own_text = own.Text(entry.id);
    if (strings::FormatConversions(entry.text) != strings::FormatConversions(own_text)) {
      if (problems != nullptr) {
        problems->push_back(path.string() + ":" + std::to_string(entry.line) + ": string " +
                            std::to_string(entry.id) +
                            " takes other format arguments than the program's own text;"
                            " the program's own text is used");
      }
      (*texts)[IndexOf(entry.id)] = own_text;
      continue;
    }
    (*texts)[IndexOf(entry.id)] = entry.text;
  }
  return TextModule(std::shared_ptr<const Texts>(std::move(texts)), std::move(path));
}

std::string LanguageCatalogueName(int country_code) {
  std::array<char, 32> name{};
  const int written = std::snprintf(name.data(), name.size(), "norix%03d.txt", country_code);
  if (written < 0) return {};
  return std::string(name.data());
}

TextModuleChoice LoadTextModule(int country_code, const std::filesystem::path& data_folder) {
  TextModuleChoice choice;
  if (data_folder.empty() || country_code < 0) return choice;
  const std::filesystem::path path = data_folder / LanguageCatalogueName(country_code);
  const auto catalogue = strings::ReadCatalogueFile(path);
  if (!catalogue) return choice;  // no catalogue for this country
  choice.problems = catalogue->problems;
  if (catalogue->Find(kLanguageProbeTextId) == nullptr) {
    choice.problems.push_back(path.string() + ": no string " +
                              std::to_string(kLanguageProbeTextId) +
                              "; the program's own texts are used");
    return choice;
  }
  choice.module = TextModule::FromCatalogue(*catalogue, path, &choice.problems);
  return choice;
}

}  // namespace norix::shell
