// SARIF 2.1.0: one document for the whole run, written as the faults come.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "writer.h"

namespace cuelint {

// GitHub code scanning takes at most this many results of a run.
constexpr std::uint64_t kSarifMaxResults = 25000;

// A path as a URI reference: "/" separators, every byte but A-Z a-z 0-9 - . _ ~ / as %XX
// (so a ":" cannot read as a scheme); an absolute path as a file URI. With a backslash as
// the system's separator, backslashes separate too and C:\ begins an absolute path.
std::string uri_reference(std::string_view path, char separator);

std::unique_ptr<Writer> make_sarif_writer(std::uint64_t max_results = kSarifMaxResults);

}  // namespace cuelint
