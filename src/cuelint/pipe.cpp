#include "cuelint/pipe.h"

#include "cuelint/encoding.h"
#include "cuelint/lines.h"

namespace cuelint {

LinePipe::LinePipe(Source& src, Encoding enc, std::size_t line_buffer, std::size_t block)
    : src_(src), enc_(enc), line_buffer_(line_buffer), block_(block) {
  for (std::size_t i = 0; i < kInFlight; ++i) free_.push_back(std::make_unique<Block>());
  thread_ = std::thread([this] { produce(); });
}

LinePipe::~LinePipe() {
  {
    std::lock_guard<std::mutex> lock(m_);
    stop_ = true;
  }
  free_cv_.notify_all();
  thread_.join();
}

std::unique_ptr<LinePipe::Block> LinePipe::take_free() {
  std::unique_lock<std::mutex> lock(m_);
  free_cv_.wait(lock, [&] { return stop_ || !free_.empty(); });
  if (stop_) return nullptr;
  std::unique_ptr<Block> b = std::move(free_.front());
  free_.pop_front();
  b->text.clear();
  b->ends.clear();
  b->last = false;
  return b;
}

void LinePipe::hand_over(std::unique_ptr<Block> b) {
  {
    std::lock_guard<std::mutex> lock(m_);
    ready_.push_back(std::move(b));
  }
  ready_cv_.notify_one();
}

void LinePipe::produce() {
  std::unique_ptr<Block> b = take_free();
  if (!b) return;
  try {
    Decoder dec(src_, enc_);
    LineReader lines(dec, line_buffer_);
    std::string_view s;
    while (lines.next(s)) {
      b->text.insert(b->text.end(), s.begin(), s.end());
      b->ends.push_back(b->text.size());
      // Full by its text, or by its count of lines (empty lines have no text).
      if (b->text.size() >= block_ || b->ends.size() > block_ / 8) {
        hand_over(std::move(b));
        b = take_free();
        if (!b) return;
      }
    }
  } catch (...) {
    std::lock_guard<std::mutex> lock(m_);
    error_ = std::current_exception();
  }
  b->last = true;
  hand_over(std::move(b));
}

bool LinePipe::next(std::string_view& line) {
  while (!cur_ || index_ == cur_->ends.size()) {
    if (cur_) {
      if (cur_->last) {
        std::lock_guard<std::mutex> lock(m_);
        if (error_) std::rethrow_exception(error_);
        return false;
      }
      {
        std::lock_guard<std::mutex> lock(m_);
        free_.push_back(std::move(cur_));
      }
      free_cv_.notify_one();
    }
    std::unique_lock<std::mutex> lock(m_);
    ready_cv_.wait(lock, [&] { return !ready_.empty(); });
    cur_ = std::move(ready_.front());
    ready_.pop_front();
    index_ = 0;
  }
  std::size_t begin = index_ ? cur_->ends[index_ - 1] : 0;
  std::size_t end = cur_->ends[index_++];
  line = std::string_view(cur_->text.data() + begin, end - begin);
  ++number_;
  return true;
}

}  // namespace cuelint
