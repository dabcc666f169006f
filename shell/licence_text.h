#pragma once
#include <string>

namespace trwk {

// The licence agreement and disclaimer shown on the first start, lines ended by CR LF.
const std::string& licenceText();

}  // namespace trwk
