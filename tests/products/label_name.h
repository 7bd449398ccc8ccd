// Names the cases of a parameterised test after their `label` field.
#pragma once

#include <string>

#include <gtest/gtest.h>

namespace norix::products::testing {

struct LabelName {
  template <typename Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
    return std::string(param.param.label);
  }
};

}  // namespace norix::products::testing
