#include "platform/terminal/file_chooser.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include <fnmatch.h>

namespace norix::platform::terminal {

namespace fs = std::filesystem;

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
    text.remove_suffix(1);
  }
  return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::vector<std::string> SplitPatterns(std::string_view patterns) {
  std::vector<std::string> out;
  while (!patterns.empty()) {
    const std::size_t end = patterns.find(';');
    const std::string_view one = Trim(patterns.substr(0, end));
    if (!one.empty()) {
      out.emplace_back(one);
    }
    if (end == std::string_view::npos) {
      break;
    }
    patterns.remove_prefix(end + 1);
  }
  return out;
}

bool MatchesPattern(std::string_view name, std::span<const std::string> patterns) {
  if (patterns.empty()) {
    return true;
  }
  const std::string file(name);
  return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
    return pattern == "*" || pattern == "*.*" ||
           fnmatch(pattern.c_str(), file.c_str(), FNM_CASEFOLD) == 0;
  });
}

TypedPath SplitTypedPath(std::string_view typed) {
  const std::size_t slash = typed.rfind('/');
  if (slash == std::string_view::npos) {
    return {"", std::string(typed)};
  }
  return {std::string(typed.substr(0, slash + 1)), std::string(typed.substr(slash + 1))};
}

fs::path ResolveTyped(std::string_view typed, const PathContext& context) {
  if ((typed == "~" || StartsWith(typed, "~/")) && !context.home.empty()) {
    return fs::path(context.home) /
           std::string(typed.substr(std::min<std::size_t>(typed.size(), 2)));
  }
  const fs::path path{std::string(typed)};
  return path.is_absolute() ? path : context.base / path;
}

std::vector<FolderEntry> ListTyped(std::string_view typed, std::span<const std::string> patterns,
                                   const PathContext& context) {
  const TypedPath parts = SplitTypedPath(typed);
  const fs::path folder = ResolveTyped(parts.folder.empty() ? "." : parts.folder, context);
  std::vector<FolderEntry> folders;
  std::vector<FolderEntry> files;
  std::error_code error;
  fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
  if (error) {
    return {};
  }
  const bool showHidden = StartsWith(parts.name, ".");
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) {
      break;
    }
    const std::string name = it->path().filename().string();
    if ((!showHidden && StartsWith(name, ".")) || !StartsWith(name, parts.name)) {
      continue;
    }
    std::error_code kindError;
    if (it->is_directory(kindError)) {
      folders.push_back({name + "/", true});
    } else if (MatchesPattern(name, patterns)) {
      files.push_back({name, false});
    }
  }
  const auto byName = [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  std::vector<FolderEntry> entries;
  std::error_code canonicalError;
  const fs::path canonical = fs::weakly_canonical(folder, canonicalError);
  if (parts.name.empty() && !canonicalError && canonical.has_relative_path()) {
    entries.push_back({"../", true});
  }
  entries.insert(entries.end(), folders.begin(), folders.end());
  entries.insert(entries.end(), files.begin(), files.end());
  return entries;
}

std::string CompleteTyped(std::string_view typed, std::span<const std::string> patterns,
                          const PathContext& context) {
  const TypedPath parts = SplitTypedPath(typed);
  std::vector<FolderEntry> entries = ListTyped(typed, patterns, context);
  std::erase_if(entries, [](const FolderEntry& entry) { return entry.name == "../"; });
  if (entries.empty()) {
    return std::string(typed);
  }
  std::string common = entries.front().name;
  for (const FolderEntry& entry : entries) {
    std::size_t same = 0;
    while (same < common.size() && same < entry.name.size() && common[same] == entry.name[same]) {
      ++same;
    }
    common.resize(same);
  }
  if (common.size() < parts.name.size()) {
    return std::string(typed);
  }
  return parts.folder + common;
}

}  // namespace norix::platform::terminal
