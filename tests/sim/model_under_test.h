// A model's command interpreter without any line: the answers to whole
// command lines, as the model gives them, for tests of what a model answers
// rather than how its product frames and paces it.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>

#include "sim/command_faults.h"
#include "sim/command_interpreter.h"
#include "sim/model.h"
#include "sim/model_registry.h"
#include "sim/product_options.h"

namespace norix::sim::test {

class ModelUnderTest {
 public:
  explicit ModelUnderTest(std::unique_ptr<Model> model, const ProductOptions& options = {})
      : model_(std::move(model)), interpreter_(model_->FactorySettings(), model_->ProfileCount()) {
    model_->ApplyOptions(options);
    model_->AddCommands(interpreter_.Commands());
    AddCommandFaults(interpreter_.Commands(), options);
  }
  explicit ModelUnderTest(std::string_view name, const ProductOptions& options = {})
      : ModelUnderTest(Make(name), options) {}

  Reply Run(std::string_view line) { return interpreter_.Execute(line); }

  // The one informational text of a command answered OK.
  std::string Text(std::string_view line) {
    const Reply reply = Run(line);
    EXPECT_EQ(reply.result, ResultCode::Ok) << line;
    EXPECT_EQ(reply.information.size(), 1U) << line;
    return reply.information.empty() ? std::string() : reply.information.front();
  }

  // The final code; BUSY stands for none (the product left command mode).
  ResultCode Result(std::string_view line) { return Run(line).result.value_or(ResultCode::Busy); }

  [[nodiscard]] Model& model() { return *model_; }

 private:
  static std::unique_ptr<Model> Make(std::string_view name) {
    const ModelEntry* entry = FindModel(name);
    if (entry == nullptr) {
      throw std::invalid_argument("no model named " + std::string(name));
    }
    return entry->make();
  }

  std::unique_ptr<Model> model_;
  CommandInterpreter interpreter_;
};

}  // namespace norix::sim::test
