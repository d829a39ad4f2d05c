// GitHub Actions workflow commands: one annotation per fault.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "writer.h"

namespace cuelint {

// The message of a command: "%", CR and LF as %25, %0D, %0A.
void github_escape_data(std::string& out, std::string_view s);
// A property's value: also ":" and "," as %3A and %2C.
void github_escape_property(std::string& out, std::string_view s);

std::unique_ptr<Writer> make_github_writer();

}  // namespace cuelint
