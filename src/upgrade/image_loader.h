// Reading an upgrade file from disk: the whole file for the transfer, or just
// its text header for the checks at file selection. Both block on the file
// system only; neither shows anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "upgrade/upgrade_header.h"
#include "upgrade/upgrade_image.h"

namespace norix::upgrade {

// Larger files are no upgrade files; they are refused as if the memory for
// them could not be had.
inline constexpr std::size_t kMaxImageSize = std::size_t{64} * 1024 * 1024;

enum class LoadImageStatus : std::uint8_t {
  Loaded,
  OpenFailed,
  SizeFailed,
  AllocFailed,
  ReadFailed
};

// The plain texts shown (caption kLoadFailureCaption, OK button) when loading
// fails: "File open failed.", "GetFileSize failed!", "GlobalAlloc failed!",
// "ReadFile failed!". Empty for Loaded.
[[nodiscard]] std::string_view LoadFailureText(LoadImageStatus status);
inline constexpr std::string_view kLoadFailureCaption = "Error";

struct LoadImageResult {
  LoadImageStatus status = LoadImageStatus::OpenFailed;
  UpgradeImage image;  // path and bytes (with the spare zero bytes) when Loaded

  [[nodiscard]] bool ok() const { return status == LoadImageStatus::Loaded; }
};

// Opens an existing regular file (anything else, a directory or a pipe, is an
// open failure), takes its size, reads all of it. A file that yields fewer
// bytes than its size is a read failure; nothing is kept then.
[[nodiscard]] LoadImageResult LoadImage(const std::string& path);

// The header of the file at `path`, read from its first kHeaderReadLimit
// bytes; a file that cannot be read has an empty header, as a profile reader
// gives for a missing file.
inline constexpr std::size_t kHeaderReadLimit = std::size_t{1024} * 1024;
[[nodiscard]] UpgradeHeader ReadUpgradeHeaderFile(const std::string& path);

}  // namespace norix::upgrade
