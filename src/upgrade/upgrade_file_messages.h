// String numbers of the texts that the upgrade file checks hand to the page
// that shows them, and the page indexes those checks lead to.
#pragma once

namespace norix::upgrade {

// "This upgrade file is not correct for your modem.\nPlease start the upgrade
// process again and\nselect a different NORIX upgrade file."
inline constexpr int kMsgNotForYourModem = 2021;
// "There is an error in the NORIX upgrade file.\nThe file may be damaged."
inline constexpr int kMsgFileDamaged = 2036;
// "The upgrade file is not correct for your NORIX equipment."
inline constexpr int kMsgNotForYourEquipment = 2041;
// "You cannot use program versions lower than V1.30 for your NORIX solano 1280i
// a/b. ..." (shown by the same version page when the V1.30 refusal is set)
inline constexpr int kMsgBelowV130 = 2042;
// "Invalid NORIX upgrade file"
inline constexpr int kMsgInvalidFile = 2047;
// "NORIX message": caption of the boxes that show the texts above.
inline constexpr int kMsgCaption = 2092;
// "Select a NORIX upgrade file": title of the file dialog.
inline constexpr int kMsgSelectFileTitle = 2096;

inline constexpr int kPageMainMenu = 1;
inline constexpr int kPageOlderVersion = 19;
inline constexpr int kPageSameVersion = 20;
inline constexpr int kPageNewerVersion = 21;
inline constexpr int kPageProgress = 22;

}  // namespace norix::upgrade
