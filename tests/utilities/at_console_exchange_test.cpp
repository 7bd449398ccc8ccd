// The AT console's exchange against bytes that do not belong to the typed
// command: the console shows the product's answer to that command, and
// what the product says behind it is not left for the next exchange (the
// "Default Setting" button's "AT&F&W" reads its own answer).
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/link_fixture.h"
#include "utilities/at_console.h"

namespace norix::utilities {
namespace {

using testing::Answer;
using testing::Chunk;

class AtConsoleExchangeTest : public testing::LinkFixture {
 protected:
  void SetUp() override {
    Start([](const std::string& line, const platform::comm::CommState&) -> std::vector<Chunk> {
      if (line == "ATI3") {
        return {{Answer(line, {"NORIX Netrunner 56000 Voice V1.10", "OK"})}};
      }
      if (line == "ATH") {
        // The call the command ended reports its end behind the OK.
        return {{Answer(line, {"OK", "NO CARRIER"})}};
      }
      return {{Answer(line, {"OK"})}};
    });
    Quick(150);
  }
};

TEST_F(AtConsoleExchangeTest, ShowsTheAnswerToTheTypedCommandOnly) {
  // A late final code and a stray line of an earlier exchange.
  Unprompted("\r\nOK\r\n\r\nRING\r\n");
  std::string reply;
  SendConsoleCommand(Port(), "ATI3", reply);
  EXPECT_EQ(reply, "NORIX Netrunner 56000 Voice V1.10");

  SendConsoleCommand(Port(), "ATH", reply);
  EXPECT_EQ(reply, "OK");
  EXPECT_EQ(link::SendAtCommand(Port(), kFactoryResetCommand, reply), link::AtResult::Ok)
      << "the factory reset read " << reply;
  EXPECT_EQ(product_->Lines(), (std::vector<std::string>{"ATI3", "ATH", "AT&F&W"}));
}

}  // namespace
}  // namespace norix::utilities
