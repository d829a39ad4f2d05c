// GitLab Code Quality: one JSON array of issues, written as the faults come.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "writer.h"

namespace cuelint {

// 32 hex digits that name a fault by its file, rule, line and message (two FNV-1a 64-bit
// hashes of them, fields kept apart): the same fault has the same one in every run.
std::string gitlab_fingerprint(std::string_view file, std::string_view rule, std::uint64_t line,
                               std::string_view message);

std::unique_ptr<Writer> make_gitlab_writer();

}  // namespace cuelint
