#include "spill.h"

#include <cstring>

#include "source.h"

namespace cuelint {

namespace {

constexpr std::size_t kBuffer = 65536;

void put_varint(std::vector<unsigned char>& o, std::uint64_t v) {
  while (v >= 0x80) {
    o.push_back(static_cast<unsigned char>(v | 0x80));
    v >>= 7;
  }
  o.push_back(static_cast<unsigned char>(v));
}

bool same_text(const Fault& a, const Fault& b) {
  return a.message_len == b.message_len && std::memcmp(a.message, b.message, a.message_len) == 0;
}

// f stored against the fault before it in its run (line and column as steps from it, the
// message only when it differs); the first against an empty fault. Whether it has times
// is kept: a fault held with a cue's may not be of the cue.
void encode(const Fault& prev, const Fault& f, std::vector<unsigned char>& o) {
  const bool same_line = f.line == prev.line, same_msg = same_text(f, prev);
  o.push_back(static_cast<unsigned char>(static_cast<unsigned>(f.check) | same_line << 5 |
                                         same_msg << 6 | f.has_times << 7));
  if (!same_line) put_varint(o, f.line - prev.line);
  put_varint(o, same_line && f.check == prev.check ? f.column - prev.column : f.column);
  if (!same_msg) {
    put_varint(o, f.message_len);
    o.insert(o.end(), f.message, f.message + f.message_len);
  }
}

void check_io(int e) {
  if (e) throw ReadError{e};
}

}  // namespace

struct FaultSpill::Reader {
  File file;
  std::uint64_t at, left;  // what is not yet in the buffer
  std::vector<unsigned char> buf;
  std::size_t pos = 0, end = 0;
  Fault cur;  // the last decoded: what the next is stored against

  Reader(File f, const Run& r) : file(f), at(r.at), left(r.size), buf(kBuffer) {
    cur.line = 0;
    cur.column = 0;
    cur.check = Check::kOrder;
    cur.message_len = 0;
  }
  bool more() const { return pos < end || left > 0; }
  unsigned char byte() {
    if (pos == end) {
      std::size_t n = left < buf.size() ? static_cast<std::size_t>(left) : buf.size();
      check_io(seek_to(file, at));
      std::size_t got = 0;
      check_io(read_some(file, buf.data(), n, &got));
      if (got == 0) throw ReadError{0};  // the file is shorter than was written
      at += got;
      left -= got;
      pos = 0;
      end = got;
    }
    return buf[pos++];
  }
  std::uint64_t varint() {
    std::uint64_t v = 0;
    for (int shift = 0;; shift += 7) {
      unsigned char b = byte();
      v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
      if (!(b & 0x80) || shift > 56) return v;
    }
  }
  // The next fault of the run into cur.
  void next() {
    unsigned char head = byte();
    auto check = static_cast<Check>(head & 0x1F);
    if (!(head >> 5 & 1)) cur.line += varint();
    std::uint64_t col = varint();
    cur.column = (head >> 5 & 1) && check == cur.check ? cur.column + col : col;
    cur.check = check;
    cur.has_times = head >> 7 & 1;
    if (!(head >> 6 & 1)) {
      std::uint64_t len = varint();
      if (len > sizeof cur.message) throw ReadError{0};
      for (std::uint64_t i = 0; i < len; ++i) cur.message[i] = static_cast<char>(byte());
      cur.message_len = static_cast<std::uint16_t>(len);
    }
  }
};

FaultSpill::~FaultSpill() {
  close_file(file_);
}

void FaultSpill::flush() {
  if (out_.empty()) return;
  if (!file_.open()) check_io(open_temp(&file_));
  std::uint64_t at = end_ - out_.size();
  check_io(seek_to(file_, at));
  check_io(write_file(file_, out_.data(), out_.size()));
  out_.clear();
}

void FaultSpill::add(const Fault* f, std::size_t n) {
  if (n == 0) return;
  if (runs_.empty() || report_before(f[0], last_)) {
    runs_.push_back(Run{end_, 0});
    last_ = Fault();
    last_.line = 0;
    last_.column = 0;
    last_.check = Check::kOrder;
    last_.message_len = 0;
  }
  const std::size_t before = out_.size();
  const Fault* prev = &last_;
  for (std::size_t i = 0; i < n; ++i) {
    encode(*prev, f[i], out_);
    prev = f + i;
  }
  last_ = f[n - 1];
  const std::size_t bytes = out_.size() - before;
  runs_.back().size += bytes;
  end_ += bytes;
  if (out_.size() >= kBuffer) flush();
}

void FaultSpill::merge_first(std::size_t k) {
  flush();
  std::vector<std::unique_ptr<Reader>> in;
  for (std::size_t i = 0; i < k; ++i) {
    in.push_back(std::make_unique<Reader>(file_, runs_[i]));
    if (in.back()->more()) in.back()->next();
  }
  Run merged{end_, 0};
  Fault prev;
  prev.line = 0;
  prev.column = 0;
  prev.check = Check::kOrder;
  prev.message_len = 0;
  std::vector<bool> live(k);
  for (std::size_t i = 0; i < k; ++i) live[i] = runs_[i].size > 0;
  for (;;) {
    std::size_t best = k;
    for (std::size_t i = 0; i < k; ++i)
      if (live[i] && (best == k || report_before(in[i]->cur, in[best]->cur))) best = i;
    if (best == k) break;
    encode(prev, in[best]->cur, out_);
    prev = in[best]->cur;
    if (in[best]->more()) {
      in[best]->next();
    } else {
      live[best] = false;
    }
    if (out_.size() >= kBuffer) {
      merged.size += out_.size();
      end_ += out_.size();
      flush();
    }
  }
  merged.size += out_.size();
  end_ += out_.size();
  flush();
  runs_.erase(runs_.begin(), runs_.begin() + static_cast<std::ptrdiff_t>(k));
  runs_.insert(runs_.begin(), merged);
}

void FaultSpill::merge(const Fault* tail, std::size_t n, const Fault& like, const Options& opt,
                       FaultSink& out) {
  flush();
  while (runs_.size() + 1 > kWays) merge_first(kWays);
  const std::size_t k = runs_.size();
  std::vector<std::unique_ptr<Reader>> in;
  std::vector<bool> live(k);
  for (std::size_t i = 0; i < k; ++i) {
    in.push_back(std::make_unique<Reader>(file_, runs_[i]));
    live[i] = in[i]->more();
    if (live[i]) in[i]->next();
  }
  Fault f = like;
  std::size_t t = 0;  // the next of tail
  for (;;) {
    // The earliest; of equal ones the first given (runs in order, the tail last).
    std::size_t best = k;
    for (std::size_t i = 0; i < k; ++i)
      if (live[i] && (best == k || report_before(in[i]->cur, in[best]->cur))) best = i;
    const Fault* pick = nullptr;
    if (t < n && (best == k || report_before(tail[t], in[best]->cur))) {
      pick = tail + t++;
    } else if (best < k) {
      const Fault& c = in[best]->cur;
      f.line = c.line;
      f.column = c.column;
      f.check = c.check;
      f.has_times = c.has_times;
      f.severity = opt.severity(c.check);
      f.message_len = c.message_len;
      std::memcpy(f.message, c.message, c.message_len);
      pick = &f;
    } else {
      break;
    }
    out.fault(*pick);
    if (pick == &f) {
      if (in[best]->more()) {
        in[best]->next();
      } else {
        live[best] = false;
      }
    }
  }
  runs_.clear();
  end_ = 0;
  out_.clear();
}

}  // namespace cuelint
