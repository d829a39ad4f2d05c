// Lines cut on a second thread: one thread reads, decodes and cuts the text into lines in
// blocks, the other checks them, so a large file is read while it is checked. The blocks
// in flight are few and reused: memory stays bounded.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "cuelint/source.h"
#include "cuelint/types.h"

namespace cuelint {

class LinePipe {
 public:
  // The source must be at its start. block: bytes of lines a block collects before it is
  // handed over (a longer line makes a block of its own).
  LinePipe(Source& src, Encoding enc, std::size_t line_buffer, std::size_t block);
  ~LinePipe();
  LinePipe(const LinePipe&) = delete;
  LinePipe& operator=(const LinePipe&) = delete;

  // As LineReader::next; rethrows a ReadError of the reading thread at the end.
  bool next(std::string_view& line);
  std::uint64_t number() const { return number_; }

 private:
  struct Block {
    std::vector<char> text;
    std::vector<std::size_t> ends;  // end of each line in text
    bool last = false;
  };
  static constexpr std::size_t kInFlight = 4;

  void produce();
  std::unique_ptr<Block> take_free();
  void hand_over(std::unique_ptr<Block> b);

  Source& src_;
  Encoding enc_;
  std::size_t line_buffer_, block_;
  std::mutex m_;
  std::condition_variable ready_cv_, free_cv_;
  std::deque<std::unique_ptr<Block>> ready_, free_;
  bool stop_ = false;  // the checking side is gone
  std::exception_ptr error_;
  std::unique_ptr<Block> cur_;
  std::size_t index_ = 0;
  std::uint64_t number_ = 0;
  std::thread thread_;
};

}  // namespace cuelint
