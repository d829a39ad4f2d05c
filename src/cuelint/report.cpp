#include "report.h"

#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>
#include <vector>

#include "writer.h"

#include "decimal.h"

namespace cuelint {

using Json = nlohmann::ordered_json;

static std::string dump(const Json& j) {
  return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

static void append_uint(std::string& out, std::uint64_t v) {
  char buf[decimal::kMaxDigits];
  out.append(buf, decimal::write_uint(v, buf));
}

void append_text(std::string& out, const std::string& file, const Fault& f) {
  const std::string_view severity = severity_name(f.severity);
  const std::string_view check = check_name(f.check);
  // Made on the stack and appended at once: a run may write millions of these lines. A
  // name too long for that takes the piecewise way.
  char buf[512];
  if (file.size() + decimal::kMaxDigits + severity.size() + f.message_len + check.size() + 8 >
      sizeof buf) {
    out += file;
    out += ':';
    append_uint(out, f.line);
    out += ": ";
    out += severity;
    out += ": ";
    out.append(f.message, f.message_len);
    out += " [";
    out += check;
    out += "]\n";
    return;
  }
  char* p = buf;
  auto put = [&p](std::string_view s) {
    std::memcpy(p, s.data(), s.size());
    p += s.size();
  };
  put(file);
  *p++ = ':';
  p += decimal::write_uint(f.line, p);
  put(": ");
  put(severity);
  put(": ");
  put(f.text());
  put(" [");
  put(check);
  put("]\n");
  out.append(buf, static_cast<std::size_t>(p - buf));
}

void append_json(std::string& out, const std::string& file, const Fault& f) {
  Json j;
  j["file"] = file;
  j["line"] = f.line;
  j["format"] = f.format ? Json(f.format->name) : Json(nullptr);
  j["check"] = check_name(f.check);
  j["severity"] = severity_name(f.severity);
  j["subtitle"] = f.has_subtitle ? Json(f.subtitle) : Json(nullptr);
  j["start"] = f.has_times ? Json(f.start_ms) : Json(nullptr);
  j["stop"] = f.has_times ? Json(f.stop_ms) : Json(nullptr);
  j["message"] = std::string(f.text());
  out += dump(j);
  out += '\n';
}

Report::Report(std::string file, const Writer& writer, std::string& out, Spill* spill)
    : file_(std::move(file)), json_(false), out_(out), spill_(spill), writer_(&writer) {
  fault_name_ = writer.fault_name(file_);
}

void Report::fault(const Fault& f) {
  errors_ += f.severity == Severity::kError;
  ++by_check_[static_cast<std::size_t>(f.check)];
  if (writer_) {
    writer_->fault(out_, fault_name_, f);
  } else if (json_) {
    append_json(out_, file_, f);
  } else {
    append_text(out_, file_, f);
  }
  if (spill_ && out_.size() >= kChunk) spill_->spill(out_);
}

std::string json_summary(const Totals& t) {
  Json s;
  s["files"] = t.files;
  s["faulty"] = t.faulty;
  s["faults"] = t.faults;
  s["errors"] = t.errors;
  s["warnings"] = t.faults - t.errors;
  s["unreadable"] = t.unreadable;
  Json j;
  j["summary"] = std::move(s);
  return dump(j) + "\n";
}

std::string text_summary(const Totals& t) {
  std::string s = "cuelint: ";
  append_uint(s, t.files);
  s += t.files == 1 ? " file checked, " : " files checked, ";
  append_uint(s, t.faulty);
  s += " with faults, ";
  append_uint(s, t.faults);
  s += t.faults == 1 ? " fault" : " faults";
  if (t.errors != t.faults) {
    s += " (";
    append_uint(s, t.faults - t.errors);
    s += t.faults - t.errors == 1 ? " warning)" : " warnings)";
  }
  s += '\n';
  return s;
}

std::string statistics_text(const Totals& t) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < kCheckCount; ++i) {
    if (t.by_check[i]) order.push_back(i);
  }
  // Ties keep the rules' own order.
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return t.by_check[a] > t.by_check[b]; });
  std::string s;
  for (std::size_t i : order) {
    std::string n = std::to_string(t.by_check[i]);
    if (n.size() < 7) s.append(7 - n.size(), ' ');
    s += n;
    s += "  ";
    s += check_name(static_cast<Check>(i));
    s += '\n';
  }
  return s;
}

}  // namespace cuelint
