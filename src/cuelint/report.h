// Fault lines in text or JSON Lines, and the summary.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "types.h"

namespace cuelint {

// Takes the report text of a file when it has grown (so that a file with millions of faults
// is not held whole) and at its end.
class Spill {
 public:
  virtual ~Spill() = default;
  virtual void spill(std::string& text) = 0;  // leaves text empty
};

class Writer;

class Report : public FaultSink {
 public:
  static constexpr std::size_t kChunk = 256 * 1024;

  Report(std::string file, bool json, std::string& out, Spill* spill = nullptr)
      : file_(std::move(file)), json_(json), out_(out), spill_(spill) {}
  // Lines in the writer's format (writer.h).
  Report(std::string file, const Writer& writer, std::string& out, Spill* spill = nullptr);
  void fault(const Fault& f) override;
  std::uint64_t errors() const { return errors_; }
  const std::array<std::uint64_t, kCheckCount>& by_check() const { return by_check_; }
  const std::string& file() const { return file_; }

 private:
  std::uint64_t errors_ = 0;
  std::array<std::uint64_t, kCheckCount> by_check_{};
  std::string file_;
  std::string fault_name_;  // the name as the writer's fault lines show it
  bool json_;
  std::string& out_;
  Spill* spill_;
  const Writer* writer_ = nullptr;
};

// "FILE:LINE: SEVERITY: MESSAGE [RULE]\n"
void append_text(std::string& out, const std::string& file, const Fault& f);
// One JSON object and "\n"; bytes of the name or text that are not UTF-8 become U+FFFD.
void append_json(std::string& out, const std::string& file, const Fault& f);

struct Totals {
  std::uint64_t files = 0;   // files read and checked
  std::uint64_t faulty = 0;  // of them, files with faults
  std::uint64_t faults = 0;
  std::uint64_t errors = 0;                           // of the faults; the others are warnings
  std::uint64_t unreadable = 0;                       // paths that could not be read
  std::array<std::uint64_t, kCheckCount> by_check{};  // faults of each rule
};

// The JSON summary object with its line end.
std::string json_summary(const Totals& t);
// The text summary line with its line end.
std::string text_summary(const Totals& t);
// One line per rule that reported, most first: "     12  reading-time".
std::string statistics_text(const Totals& t);

}  // namespace cuelint
