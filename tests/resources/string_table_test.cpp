// The compiled-in string table and the shipped language catalogues.

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "resources/strings/builtin_texts.h"
#include "resources/strings/catalogue.h"
#include "resources/strings/data_folder.h"

namespace norix::resources::strings {
namespace {

std::string_view BuiltinText(int id) {
  for (const auto& entry : BuiltinTexts()) {
    if (entry.id == id) return entry.text;
  }
  return {};
}

struct QuotedText {
  int id;
  std::string_view text;
};

// Texts that pages, message boxes and progress statuses show word for word.
// Every one of them must be in the table exactly so; a change here is a
// change the user sees.
constexpr QuotedText kQuotedTexts[] = {
    {2003, "NORIX Configuration program"},
    {2004, "Product information"},
    {2006, "Settings"},
    {2007, "Upgrade"},
    {2008, "Cancel"},
    {2009, "Cannot open COM Port"},
    {2015, "Looking for NORIX products"},
    {2016,
     "Do you want to run NORIX's nationality configuration\nto set up your modem for correct "
     "operation?"},
    {2017, "Select ISDN model"},
    {2018, "Select modem model"},
    {2019,
     "Your modem was damaged during previous upgrade. To try again, please specify your modem "
     "type. The modem you tried to upgrade previously was a:"},
    {2020,
     "Your NORIX solano 1280 adapter was damaged during a previous upgrade attempt. In order to "
     "make the adapter operate correctly, please specify your adapter model. Select the model from "
     "the list below."},
    {2021,
     "This upgrade file is not correct for your modem.\nPlease start the upgrade process again "
     "and\nselect a different NORIX upgrade file."},
    {2022, "Country"},
    {2023, "Select current nationality to ensure that your modem operates correctly."},
    {2024, "Nationality code setup was successful."},
    {2026, "Default Setting"},
    {2028, "Date:"},
    {2029, "Driver:"},
    {2030, "Product name:"},
    {2031, "Test line"},
    {2032, "Product release:"},
    {2033,
     "Display information about your NORIX product and check whether the product is connected to a "
     "telecommunication line."},
    {2035, "Deleting flash"},
    {2036, "There is an error in the NORIX upgrade file.\nThe file may be damaged."},
    {2037, "Invalid response from modem.\nDo you want to try again?"},
    {2038, "Estimated time remaining:"},
    {2041, "The upgrade file is not correct for your NORIX equipment."},
    {2042,
     "You cannot use program versions lower than V1.30 for your NORIX solano 1280i a/b.\n\nPress "
     "the left arrow to select another version."},
    {2047, "Invalid NORIX upgrade file"},
    {2049, "ISDN"},
    {2050, "ISDN component"},
    {2051, "The current version of your ISDN adapter is:"},
    {2053,
     "The test of your ISDN line is complete.\nDuring the test you should hear a dial tone.\nIf "
     "not, check the connection line and try again."},
    {2054, "The line was tested and found to be working correctly."},
    {2056, "Change the nationality setting and other general settings on your NORIX equipment."},
    {2064, "Modem"},
    {2065,
     "The NORIX product could not be detected. Check that:\n\n1. The connection is good.\n2. The "
     "NORIX equipment is turned on.\n3. The NORIX equipment is not currently used by other "
     "programs."},
    {2066, "Modem is not upgradable"},
    {2067, "Modem component"},
    {2068,
     "Your modem was damaged during upgrading.\nPlease follow the steps below to re-upgrade your "
     "modem.\n\n1. Close the NORIX configuration program.\n2. Restart the computer.\n3. If you are "
     "using an external modem, switch it off and on again.\n4. Start the NORIX configuration "
     "program to start the upgrading process."},
    {2069, "The current version of your modem is:"},
    {2070, "The current version of the modem component is:"},
    {2071, "A/B port 1"},
    {2072, "Check the boxes Adapter, A/B-port 1, or both ports."},
    {2073, "Adapter"},
    {2074, "Multiple Subscriber Number(s) available"},
    {2075, "MSN Setting"},
    {2076,
     "The MSN setting page is used to configure multiple subscriber numbers for your NORIX "
     "equipment."},
    {2077, "MSN configuration successful."},
    {2078,
     "WARNING:\nIf you click the OK button without entering multiple subscriber number(s) in the "
     "blank fields, the multiple subscriber number(s) already installed will be erased."},
    {2080,
     "WARNING:\nIf you check a box, but leaving the multiple subscriber number field blank,\nthe "
     "multiple subscriber number(s) already installed will be erased."},
    {2085, "There was no response from the modem. Click OK to try again."},
    {2086,
     "Could not find a NORIX product driver on your system.\nRun the NORIX installation program "
     "from the NORIX Netrunner Guide CD."},
    {2090, "The nationality code is not supported by the modem."},
    {2092, "NORIX message"},
    {2093, "OK"},
    {2095, "Switch your external modem off and on again\nbefore clicking the OK button."},
    {2096, "Select a NORIX upgrade file"},
    {2097,
     "The telecommunication line was found to be OK. You should \nhear the dial tone from the "
     "modem's loudspeaker during the \ntest. If not, check the loudspeaker connection and try "
     "again."},
    {2098, "The line was tested and found to be OK."},
    {2100, "Unknown error"},
    {2102, "Please wait..."},
    {2106, "Previous upgrade attempt failed.\nDo you want to try again?"},
    {2109, "AT command"},
    {2110, "Your modem is not responding properly.\nWould you like to try again?"},
    {2111, "Your NORIX equipment was successfully reset to factory configuration."},
    {2112, "Cannot communicate with NORIX product."},
    {2113, "Reset to standard settings."},
    {2114,
     "This function allows you to issue AT commands to the modem. You should only do this if you "
     "are familiar with AT commands, or if the manual or NORIX's customer care tells you to do "
     "so."},
    {2115, "Reply"},
    {2117, "NORIX marlin 560 Voice  (PC Card)"},
    {2118, "NORIX Netrunner 56,000 Voice  (desktop model)"},
    {2120, "NORIX Corvid 560 Voice  (desktop model)"},
    {2121, "NORIX 560V int.  (internal model)"},
    {2122, "Click the forward arrow to continue"},
    {2125,
     "Select a NORIX product from the list above and click the right arrow.\nPress Esc to exit the "
     "program."},
    {2126,
     "The nationality page allows you to set your NORIX equipment for use in a specific country."},
    {2127,
     "This page allows you to reset the modem to its factory configuration. You can also send AT "
     "commands directly to the modem."},
    {2131, "Transferring firmware to the modem."},
    {2132, "Transferring flash loader to the modem."},
    {2133, "Verifying upgrade. This may take up to 20 sec."},
    {2140,
     "To ensure your NORIX solano 1280mi works properly after the upgrading,\nplease disconnect "
     "the power supply from your adapter and then connect it back again."},
    {2141, "Unknown product type"},
    {2142, "Select the product to upgrade:"},
    {2144, "Consult the manual if you want more information about the upgrade process."},
    {2145,
     "You have selected a newer version of software than the version installed in your NORIX "
     "product.\nClick the forward arrow to start the upgrade process."},
    {2146, "Consult the manual, if you want more information about the upgrade process."},
    {2147,
     "You have selected an older version of software than the version installed in your NORIX "
     "equipment.\nYou can upgrade your modem using this version by clicking the forward arrow, but "
     "this is not recommended."},
    {2148, "Click the left arrow to select a different software version."},
    {2149, "Upgrading. Please wait ..."},
    {2150,
     "WARNING:\nThe upgrade process may take longer than 1 min.\nDo not turn off the computer or "
     "exit the NORIX program, as the NORIX product may be damaged if the transmission of firmware "
     "is interrupted."},
    {2153, "Upgrading failed! Please click OK to try again."},
    {2154,
     "\nYou have selected the software already installed in your NORIX equipment.\nNORIX does not "
     "recommend you to upgrade with the same version. "},
    {2155, "Consult the manual if you want further information about the upgrade process."},
    {2156, "Upgrade your NORIX product to the latest software version."},
    {2157, "Upgrading completed successfully."},
    {2158, "Upgrading failed."},
    {2159, "Transfers firmware to NORIX product."},
    {2160, "Prepares NORIX product for upgrading."},
    {2161, "Your COM Port is set to a speed that is not supported."},
    {2162, "Australia (61)"},
    {2163, "Austria (43)"},
    {2164, "Belgium (32)"},
    {2165, "Denmark (45)"},
    {2166, "Finland (358)"},
    {2167, "France (33)"},
    {2168, "Germany (49)"},
    {2169, "Greece (30)"},
    {2170, "Ireland (353)"},
    {2171, "Italy (39)"},
    {2172, "Japan (81)"},
    {2173, "Netherlands (31)"},
    {2174, "Norway (47)"},
    {2175, "Portugal (351)"},
    {2176, "Spain (34)"},
    {2177, "Sweden (46)"},
    {2178, "Switzerland (41)"},
    {2179, "England (44)"},
    {2180, "U.S.A. (1)"},
    {2186, "Illegal Month"},
    {2187, "January"},
    {2198, "December"},
    {2199,
     "Dial tone could not be detected.\n\nPlease check that:\n1. the telecommunication line is "
     "properly connected;\n2. the telecommunication line is not used for other equipment;\n3. the "
     "nationality setting is correct."},
    {2200,
     "ISDN line could not be detected.\n\nPlease make sure that:\n1. the ISDN line is connected "
     "correctly;\n2. the line is not used for other equipment;\n3. the nationality setting is "
     "correct."},
    {2201,
     "To avoid fail during the upgrade process,\nplease remove the ISDN cord from the adapter."},
    {2202,
     "Upgrading completed successfully.\nPlease remember to connect your ISDN cord to the "
     "adapter."},
    {2203,
     "Click the left arrow to select a different software version or click the forward arrow to "
     "continue"},
    {2204, "TEL#1"},
    {2205, "TEL#2"},
    {2206, "Ringing type"},
    {2210, "Local Setting"},
    {2211, "Local telephone numbers (1 Digit)"},
    {2213, "Type in your own preferred local telephone numbers, or just keep the default."},
    {2214, "Type 1"},
    {2215, "Type 2"},
    {2216, "Type 3"},
    {2218, "Local telephone number\nconfiguration successful.."},
    {2222, "NOTE: Please refer to the manual how to setup your MSN."},
    {2224, "Please use 2 digits phone numbers only."},
    {2226, "Protocols"},
    {2230,
     "The KOMET II will use both ISDN channels for highest speed while surfing on the Internet."},
    {2233, "The KOMET II will use only one ISDN channel when surfing."},
    {2234, "BOD"},
    {2235, "Call bumping"},
    {2236, "2 Channels"},
    {2237, "1 Channel"},
    {2238, "Other"},
    {2239, "Select other protocols for dial up networking."},
    {2241, "Save as"},
    {2244, "Provider services"},
    {2245,
     "On the Provider services page you can setup the services you telephone provider offers."},
    {2250, "Enable V.120 %sprotocol. %s"},
    {2251, "Enable V.110 protocol."},
    {2252, "Enable X.75 %sprotocol. %s"},
    {2253, "Enable X.25 %sprotocol. %s"},
    {2254, "Enable HDLC protocol."},
    {2255,
     "Enable Auto Mode. The KOMET II will adapt to the protocol at the remote adapter when "
     "answering calls."},
    {2256,
     "Enable Auto Mode. The KOMET II will adapt to the protocol at the remote adapter when making "
     "outgoing calls."},
    {2257, "The KOMET II will use both ISDN channels for data."},
    {2258, "Enable PPP. The PPP protocol is mostly used for Internet."},
    {2259, "Hide own number"},
    {2262, "Call Waiting"},
    {2265, "Permanent call forwarding"},
    {2268, "Only forward voice calls"},
    {2269,
     "Enable Auto Mode. The KOMET II will adapt to the protocol at the remote adapter when both "
     "making outgoing calls, and answering calls."},
    {2270, "Call forwarding when busy"},
    {2273, "Call forwarding when no answer"},
    {2276, "Disables all operator switch settings."},
    {2279, "Block the line with a code"},
    {2282, "Fixed call"},
    {2285, "Do not disturb"},
    {2288, "Booking"},
    {2293, "Data port"},
    {2294, "Reject incoming call"},
    {2295, "Close the established connection"},
    {2296, "Change between two active calls"},
    {2298, "Connect all calls"},
    {2299, "Multiple lines"},
    {2300, "Terminal Portability"},
    {2301, "Closed User Group (CUG)"},
    {2302, "Enable calls inside group"},
    {2303, "Enable calls outside group"},
    {2304, "Code:"},
    {2305, "Tele"},
    {2306, "Data"},
    {2307, "Show number as default"},
    {2316,
     "A Closed User Group (CUG) is a number of ISDN subscribers that are tied together by common "
     "restrictions. F.ex they can dial other members of the CUG, but no other. Some of the users "
     "might be allowed to dial out. The CUG can be shut to outside callers."},
    {2318, "Members of the CUG can telephone each other, inside the group."},
    {2319, "Members of the CUG can telephone others, outside the group."},
    {2320, "Members of the CUG can transfer data to each other, inside the group."},
    {2321, "Members of the CUG can transfer data to others, outside the group."},
    {2322, "RING, and Caller ID can be displayed on the data port (RS232, USB)."},
    {2323, "On incoming calls a RING indication is displayed on the RS232, and USB data ports."},
    {2324, "On incoming calls the callers number is displayed on the RS232, and USB data ports."},
    {2325,
     "Sorry, no services are available yet. You must upgrade your KOMET II to a newer version."},
    {2326, "Ports the call to another KOMET II. The ID is optional."},
    {2327,
     "Collects the call from another KOMET II. The ID is mandatory if used to port the call only."},
    {2328, "Local telephone numbers (2 Digits)"},
};

// Texts the program loads whose wording is ours: progress statuses, the
// upgrade page's pointer to the upgrade files, menu descriptions, and the
// help texts of the Protocols and provider services pages.
constexpr int kWrittenTextIds[] = {2082, 2094, 2107, 2143, 2209, 2227, 2231, 2232, 2240, 2246,
                                   2247, 2248, 2249, 2260, 2261, 2263, 2264, 2266, 2267, 2271,
                                   2272, 2274, 2275, 2277, 2278, 2280, 2281, 2283, 2284, 2286,
                                   2287, 2289, 2290, 2312, 2313, 2314, 2315, 2317};

// Of those, the ones whose beginning or end is given.
struct TextShape {
  int id;
  std::string_view starts_with;
  std::string_view ends_with;
};

constexpr TextShape kTextShapes[] = {
    {2231, "With Bandwith On Demand (BOD) enabled,", ""},
    {2232, "With Call Bumping enabled", ""},
    {2246, "", "The number can be in the range 0-255 seconds."},
    {2247, "", "The number can be in the range 0-255 seconds."},
    {2248, "", "The number can be in the range 32-64 kilo bits per second."},
    {2249, "", "The number can be in the range 0-31 kilo bits per second."},
    {2312, "Press R and 0", ""},
    {2313, "Press R and 1", ""},
    {2314, "Press R and 2", ""},
    {2315, "Press R and 3", ""},
};

TEST(BuiltinStringTable, HoldsEveryQuotedTextExactly) {
  for (const QuotedText& quoted : kQuotedTexts) {
    EXPECT_EQ(BuiltinText(quoted.id), quoted.text) << "string " << quoted.id;
  }
}

TEST(BuiltinStringTable, HoldsTheTextsWrittenForTheProgram) {
  for (const int id : kWrittenTextIds) EXPECT_FALSE(BuiltinText(id).empty()) << "string " << id;
  for (const TextShape& shape : kTextShapes) {
    const std::string_view text = BuiltinText(shape.id);
    EXPECT_TRUE(text.starts_with(shape.starts_with)) << shape.id << ": " << text;
    EXPECT_TRUE(text.ends_with(shape.ends_with)) << shape.id << ": " << text;
  }
}

TEST(BuiltinStringTable, ListsEachMonthAndCountryInOrder) {
  constexpr std::string_view kMonths[] = {
      "Illegal Month", "January", "February",  "March",   "April",    "May",     "June",
      "July",          "August",  "September", "October", "November", "December"};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(BuiltinText(2186 + i), kMonths[i]);
  for (int id = 2162; id <= 2180; ++id)
    EXPECT_NE(BuiltinText(id).find(" ("), std::string_view::npos);
}

TEST(BuiltinStringTable, IsOrderedUniqueAndInRange) {
  int previous = 0;
  for (const auto& entry : BuiltinTexts()) {
    EXPECT_GT(entry.id, previous);
    EXPECT_GE(entry.id, kFirstTextId);
    EXPECT_LE(entry.id, kLastTextId);
    EXPECT_FALSE(entry.text.empty()) << entry.id;
    previous = entry.id;
  }
}

class LanguageCatalogueFile : public ::testing::TestWithParam<std::string_view> {};

// A shipped catalogue must parse cleanly, hold exactly the numbers of the
// program's own table and take the same format arguments in each text.
TEST_P(LanguageCatalogueFile, MatchesTheProgramsOwnTable) {
  const auto path = BuildTreeDataFolder() / std::string(GetParam());
  const auto catalogue = ReadCatalogueFile(path);
  ASSERT_TRUE(catalogue.has_value()) << path << " missing from the build tree";
  for (const auto& problem : catalogue->problems) ADD_FAILURE() << problem;

  std::set<int> own;
  for (const auto& entry : BuiltinTexts()) own.insert(entry.id);
  std::set<int> translated;
  for (const auto& entry : catalogue->entries) {
    translated.insert(entry.id);
    EXPECT_EQ(FormatConversions(entry.text), FormatConversions(BuiltinText(entry.id)))
        << "string " << entry.id;
  }
  EXPECT_EQ(translated, own);
  ASSERT_NE(catalogue->Find(2249), nullptr);
}

// The country list shows each country's dialling code; a translated name
// keeps it.
TEST_P(LanguageCatalogueFile, KeepsTheDiallingCodesOfTheCountryNames) {
  const auto catalogue = ReadCatalogueFile(BuildTreeDataFolder() / std::string(GetParam()));
  ASSERT_TRUE(catalogue.has_value());
  for (int id = 2162; id <= 2180; ++id) {
    const std::string_view own = BuiltinText(id);
    const auto* entry = catalogue->Find(id);
    ASSERT_NE(entry, nullptr) << id;
    const std::string_view code = own.substr(own.rfind(" ("));
    EXPECT_TRUE(std::string_view(entry->text).ends_with(code)) << entry->text;
  }
}

// Names, units and single words may read as in English ("Modem", "OK",
// "Japan (81)"); a text of three words or more that does was left
// untranslated.
TEST_P(LanguageCatalogueFile, TranslatesEveryLongerText) {
  const auto catalogue = ReadCatalogueFile(BuildTreeDataFolder() / std::string(GetParam()));
  ASSERT_TRUE(catalogue.has_value());
  for (const auto& entry : catalogue->entries) {
    const auto words = std::count(entry.text.begin(), entry.text.end(), ' ') + 1;
    EXPECT_FALSE(words >= 3 && entry.text == BuiltinText(entry.id))
        << "string " << entry.id << " is still English: " << entry.text;
  }
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageCatalogueFile,
                         ::testing::Values("norix033.txt", "norix045.txt", "norix046.txt",
                                           "norix047.txt", "norix049.txt"));

}  // namespace
}  // namespace norix::resources::strings
