#include "batch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "lint.h"
#include "report_names.h"
#include "source.h"
#include "walk_open.h"
#include "writer.h"

namespace cuelint {

namespace {

// A file's report on its way from its worker to the printer.
struct Job {
  std::deque<std::string> chunks;
  std::size_t queued = 0;  // bytes in chunks
  bool done = false;
  bool readable = true;
  bool out_of_memory = false;  // its check ran out: the batch ends at its turn
  std::string reason;
  FileCounts counts;
};

// What a worker holds back of a file that is not the printer's turn yet, before it waits.
constexpr std::size_t kHoldLimit = 1 << 20;
// Files in flight ahead of the printer: their slots are reused, so that memory does not
// grow with the number of files.
constexpr std::size_t kWindow = 1024;
// Chunks the printer has written go back to the workers, their memory kept: a report of
// millions of lines is then made in a few buffers instead of a fresh one (grown, paged in,
// given back to the system) every chunk. More than this many idle are freed.
constexpr std::size_t kSpareChunks = 16;

class Batch {
 public:
  Batch(const std::vector<Entry>& entries, const BatchConfig& cfg)
      : entries_(entries), cfg_(cfg), jobs_(std::min(entries.size(), kWindow)) {}

  BatchResult run();

 private:
  class JobSpill : public Spill {
   public:
    JobSpill(Batch& b, std::size_t i) : b_(b), i_(i) {}
    void spill(std::string& text) override { b_.hand_over(i_, text); }

   private:
    Batch& b_;
    std::size_t i_;
  };

  Job& slot(std::size_t i) { return jobs_[i % jobs_.size()]; }
  void worker();
  void check(std::size_t i, std::string& out, FolderCache& cache);
  void out_of_memory(std::size_t i);
  void hand_over(std::size_t i, std::string& text);
  bool write(Stream s, std::string_view text);
  void print_all(BatchResult& r, std::size_t& at, std::string& out, FolderCache& cache);
  void show_progress(bool force);
  void erase_progress();

  const std::vector<Entry>& entries_;
  const BatchConfig& cfg_;
  std::vector<Job> jobs_;
  std::vector<std::string> spare_;  // written chunks, empty, for hand_over to reuse
  std::atomic<std::size_t> next_{0};
  std::mutex m_;
  std::condition_variable printer_cv_, worker_cv_;
  std::size_t head_ = 0;  // the file being printed
  bool stopped_ = false;  // a write failed: workers take no more files and never wait
  int write_error_ = 0;
  Stream write_failed_ = Stream::kOut;
  bool no_more_ = false;  // memory ran out in a check: workers take no more files
  bool oom_ = false;
  std::size_t oom_at_ = 0;
  // No worker could be started: the printer checks each file at its turn and prints its
  // report as it grows.
  bool in_turn_ = false;
  // Progress line (printer thread only).
  bool progress_shown_ = false;
  std::chrono::steady_clock::time_point last_progress_{};
};

void Batch::hand_over(std::size_t i, std::string& text) {
  if (text.empty()) return;
  if (in_turn_) {
    if (cfg_.progress) erase_progress();
    if (!stopped_) write(Stream::kOut, cfg_.writer ? cfg_.writer->print(text) : text);
    text.clear();
    return;
  }
  std::unique_lock<std::mutex> lock(m_);
  Job& j = slot(i);
  // A file behind the printer's turn waits rather than piling up its report; the file at
  // the printer's turn never waits, so the batch always moves on.
  worker_cv_.wait(lock, [&] { return i == head_ || j.queued < kHoldLimit || stopped_; });
  if (stopped_) {
    text.clear();
    return;
  }
  j.queued += text.size();
  j.chunks.push_back(std::move(text));
  text.clear();
  if (!spare_.empty()) {
    text.swap(spare_.back());
    spare_.pop_back();
  }
  lock.unlock();
  printer_cv_.notify_one();
}

// The first file that memory ran out on is the one named; the batch stops there.
void Batch::out_of_memory(std::size_t i) {
  {
    std::lock_guard<std::mutex> lock(m_);
    if (!oom_) {
      oom_ = true;
      oom_at_ = i;
    }
    stopped_ = true;
  }
  worker_cv_.notify_all();
  printer_cv_.notify_one();
}

void Batch::check(std::size_t i, std::string& out, FolderCache& cache) {
  try {
    const Entry& e = entries_[i];
    JobSpill spill(*this, i);
    FileCounts counts;
    std::string reason = e.reason;
    bool readable = reason.empty() && check_one(e, cfg_, out, &spill, counts, reason, &cache);
    hand_over(i, out);
    {
      std::lock_guard<std::mutex> lock(m_);
      Job& j = slot(i);
      j.done = true;
      j.readable = readable;
      j.reason = std::move(reason);
      j.counts = counts;
    }
    printer_cv_.notify_one();
  } catch (const std::bad_alloc&) {
    out.clear();
    out.shrink_to_fit();
    // The files before it are still reported; no worker takes another.
    {
      std::lock_guard<std::mutex> lock(m_);
      no_more_ = true;
      Job& j = slot(i);
      j.done = true;
      j.out_of_memory = true;
    }
    printer_cv_.notify_one();
  }
}

void Batch::worker() {
  std::string out;
  FolderCache cache;
  for (;;) {
    std::size_t i = next_.fetch_add(1);
    if (i >= entries_.size()) return;
    {
      std::unique_lock<std::mutex> lock(m_);
      worker_cv_.wait(lock, [&] { return i < head_ + jobs_.size() || stopped_; });
      if (stopped_ || no_more_) return;
    }
    check(i, out, cache);
  }
}

// False when the write failed: the batch stops, it has no one left to tell.
bool Batch::write(Stream s, std::string_view text) {
  int err = write_stream(s, text.data(), text.size());
  if (err == 0) return true;
  std::lock_guard<std::mutex> lock(m_);
  stopped_ = true;
  if (write_error_ == 0) {  // the first failure is the one to tell
    write_error_ = err;
    write_failed_ = s;
  }
  return false;
}

void Batch::erase_progress() {
  if (!progress_shown_) return;
  progress_shown_ = false;
  write(Stream::kErr, "\r\033[K");
}

void Batch::show_progress(bool force) {
  auto now = std::chrono::steady_clock::now();
  if (!force && progress_shown_ && now - last_progress_ < std::chrono::milliseconds(100)) return;
  last_progress_ = now;
  std::string s = "\r\033[Kcuelint: " + std::to_string(head_) + " of " +
                  std::to_string(entries_.size()) + " files";
  progress_shown_ = write(Stream::kErr, s);
}

BatchResult Batch::run() {
  BatchResult r;
  std::size_t n = entries_.size();
  unsigned threads = cfg_.jobs < 1 ? 1 : cfg_.jobs;
  if (threads > n) threads = static_cast<unsigned>(n);
  // One file: the printer checks it itself and writes its report as it grows. A worker
  // would check it no sooner, and only add the hand-over of every chunk between threads.
  if (n == 1) threads = 0;
  std::vector<std::thread> pool;
  // A thread the system will not start lowers -j: the run goes on with those it has.
  for (unsigned t = 0; t < threads; ++t) {
    std::thread th;
    if (start_thread(&th, [this] { worker(); }) != 0) break;
    pool.push_back(std::move(th));
  }
  in_turn_ = pool.empty();
  r.workers = static_cast<unsigned>(pool.size());
  std::string out;     // in turn: the report being made
  FolderCache cache;   // in turn: the folder open
  std::size_t at = 0;  // the file being printed, for a failure of memory
  try {
    if (cfg_.writer) write(Stream::kOut, cfg_.writer->begin());
    print_all(r, at, out, cache);
  } catch (const std::bad_alloc&) {
    out_of_memory(at);
  }
  // A stopped batch wakes the workers that wait for their turn; they take no more files.
  worker_cv_.notify_all();
  for (auto& t : pool) t.join();
  if (cfg_.progress) erase_progress();
  if (oom_) {
    r.out_of_memory = true;
    r.out_of_memory_at = entries_[oom_at_].name;
  } else if (cfg_.writer && !stopped_) {
    try {
      write(Stream::kOut, cfg_.writer->end(r.totals));
    } catch (const std::bad_alloc&) {
      r.out_of_memory = true;  // no file's fault: the run's own end
    }
  }
  r.write_error = write_error_;
  r.write_failed = write_failed_;
  return r;
}

void Batch::print_all(BatchResult& r, std::size_t& at, std::string& out, FolderCache& cache) {
  std::size_t n = entries_.size();
  for (std::size_t i = 0; i < n && !stopped_; ++i) {
    at = i;
    if (in_turn_) check(i, out, cache);
    while (!stopped_) {
      std::unique_lock<std::mutex> lock(m_);
      Job& j = slot(i);
      auto ready = [&] { return !j.chunks.empty() || j.done; };
      if (cfg_.progress) {
        printer_cv_.wait_for(lock, std::chrono::milliseconds(100), ready);
      } else {
        printer_cv_.wait(lock, ready);
      }
      if (!j.chunks.empty()) {
        std::string chunk = std::move(j.chunks.front());
        j.chunks.pop_front();
        j.queued -= chunk.size();
        lock.unlock();
        if (cfg_.progress) erase_progress();
        write(Stream::kOut, cfg_.writer ? cfg_.writer->print(chunk) : chunk);
        chunk.clear();
        lock.lock();
        if (spare_.size() < kSpareChunks) spare_.push_back(std::move(chunk));
        continue;
      }
      if (j.done && j.out_of_memory) {
        lock.unlock();
        out_of_memory(i);
        break;
      }
      if (j.done) {
        bool readable = j.readable;
        FileCounts c = j.counts;
        std::string reason = std::move(j.reason);
        j = Job();  // the slot of file i + kWindow
        head_ = i + 1;
        lock.unlock();
        worker_cv_.notify_all();
        if (readable) {
          ++r.totals.files;
          r.totals.faults += c.faults;
          r.totals.errors += c.errors;
          for (std::size_t k = 0; k < kCheckCount; ++k) r.totals.by_check[k] += c.by_check[k];
          if (c.faults) ++r.totals.faulty;
        } else {
          r.unreadable = true;
          ++r.totals.unreadable;
          if (cfg_.progress) erase_progress();
          if (cfg_.writer) write(Stream::kOut, cfg_.writer->unreadable(entries_[i].name, reason));
          write(Stream::kErr,
                "cuelint: " + printable_name(entries_[i].name) + ": " + reason + "\n");
        }
        if (cfg_.progress) show_progress(false);
        break;
      }
      lock.unlock();
      if (cfg_.progress) show_progress(false);
    }
  }
}

}  // namespace

bool check_one(const Entry& e, const BatchConfig& cfg, std::string& out, Spill* spill,
               FileCounts& counts, std::string& reason, FolderCache* cache) {
  FolderCache own;
  File f;
  if (!open_entry(e, cfg.folders, cache ? *cache : own, &f, reason)) return false;
  FileSource src(f);
  std::unique_ptr<Report> report = cfg.writer
                                       ? std::make_unique<Report>(e.name, *cfg.writer, out, spill)
                                       : std::make_unique<Report>(e.name, cfg.json, out, spill);
  try {
    FileOutcome o = lint(src, cfg.options, *report);
    counts.faults = o.faults;
    counts.errors = report->errors();
    counts.by_check = report->by_check();
    if (cfg.writer) cfg.writer->checked(out, FileRecord{e.name, o, counts.errors});
  } catch (const ReadError& re) {
    reason = error_text(re.error);
    return false;
  }
  return true;
}

BatchResult run_batch(const std::vector<Entry>& entries, const BatchConfig& cfg) {
  Batch b(entries, cfg);
  return b.run();
}

}  // namespace cuelint
