// Whole runs in one process with the platform's file calls made to fail, one at a time.
//
// For every input, every buffer size and every error, the run is repeated with the 1st,
// 2nd, 3rd, ... file call failing until a run makes fewer calls than that. Each run must
// either complete exactly as the run without a fault does, or stop with the run-time
// error that the failing call maps to, at a place that makes that kind of call, with a
// console transcript and an "errors.txt" that are byte prefixes of the complete run's.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "console.h"
#include "driver.h"
#include "globals.h"
#include "platform.h"
#include "platform_faults.h"
#include "runerror.h"
#include "textfile.h"
#include "timecode.h"
#include "trace_places.h"

namespace {

// The places where a failed call of each kind may stop the run, as the table gives them.
std::map<unsigned, std::set<uint32_t>> places_of_calls() {
  std::map<unsigned, std::set<uint32_t>> of;
  for (unsigned call : {kCallOpen, kCallCreate, kCallRead, kCallWrite, kCallClose}) of[call];
  for (const TracePlaceRow& row : kTracePlaces) {
    for (auto& [call, places] : of) {
      if (row.stops & call) places.insert(row.id);
    }
  }
  return of;
}
const std::map<unsigned, std::set<uint32_t>> kPlacesOf = places_of_calls();

const TracePlaceRow* row_of(uint32_t id) {
  for (const TracePlaceRow& row : kTracePlaces) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

// "kPlaceOpen (0x00401018: what it is)" for a place of the table.
std::string describe(uint32_t id) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(id));
  const TracePlaceRow* row = row_of(id);
  return row ? std::string(row->name) + " (" + hex + ": " + row->what + ")"
             : std::string("unknown place ") + hex;
}

// A system error to inject, and the run-time errors it gives on a read (or an opening)
// and on any other call.
struct Injected {
  int error;
  int on_read;
  int on_other;
};

#if defined(_WIN32)
// Windows's numbers: file not found, access denied, too many open files, a data error
// (CRC, a device error: reported as the number plus 131), disk full, an invalid parameter.
const Injected kNotFound{2, kErrFileNotFound, kErrFileNotFound};
const Injected kDenied{5, kErrAccessDenied, kErrAccessDenied};
const Injected kTooMany{4, kErrTooManyOpenFiles, kErrTooManyOpenFiles};
const Injected kDeviceError{23, 154, 154};
const Injected kDiskFull{112, kErrDiskWrite, kErrDiskWrite};
const Injected kOther{87, 87, 87};
#else
const Injected kNotFound{ENOENT, kErrFileNotFound, kErrFileNotFound};
const Injected kDenied{EACCES, kErrAccessDenied, kErrAccessDenied};
const Injected kTooMany{EMFILE, kErrTooManyOpenFiles, kErrTooManyOpenFiles};
const Injected kDeviceError{EIO, kErrDiskRead, kErrDiskWrite};
const Injected kDiskFull{ENOSPC, kErrDiskWrite, kErrDiskWrite};
const Injected kOther{EINVAL, EINVAL, EINVAL};
#endif

int code_for(unsigned call, const Injected& e) {
  return call == kCallRead || call == kCallOpen ? e.on_read : e.on_other;
}

std::string g_console;
void capture(const char* data, size_t n) {
  g_console.append(data, n);
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Outcome {
  unsigned failed = 0;  // the call that was made to fail, if any
  bool stopped = false;
  int code = 0;
  uint32_t place = 0;
  std::vector<uint32_t> returns;  // the trace below the place
  std::string console;
  std::string errors;
};

// One whole run in the current directory, as the program's entry point makes it.
Outcome run_once(const std::vector<const char*>& args, const FaultPlan& plan, size_t in_cap,
                 size_t out_cap) {
  std::remove("errors.txt");
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>("cuecheck"));
  for (const char* a : args) argv.push_back(const_cast<char*>(a));
  argv.push_back(nullptr);
  EXPECT_EQ(plat_start(static_cast<int>(argv.size() - 1), argv.data()), kConsoleReady);
  reset_globals();
  con_set_sink(capture);
  textfile_set_buffer_sizes(in_cap, out_cap);
  g_console.clear();
  fault_plan(plan);
  Outcome o;
  try {
    run();
  } catch (const RunStop& stop) {
    out_salvage(g.OUTF);
    o.stopped = true;
    o.code = stop.code;
    o.place = stop.trace[0];
    o.returns.assign(stop.trace + 1, stop.trace + stop.depth);
    char text[kRunStopTextMax];
    con_write(text, run_stop_text(stop, kTraceLinesOther, "\n", text));
  }
  con_flush();
  o.failed = fault_failed();
  // Whatever the run left open is closed here, uncounted, as the process's end would.
  fault_clear();
  if (plat_is_file(g.F.file)) plat_close(g.F.file);
  if (plat_is_file(g.OUTF.file)) plat_close(g.OUTF.file);
  o.console = g_console;
  o.errors = slurp("errors.txt");
  return o;
}

long g_runs, g_stops;

bool is_prefix(const std::string& part, const std::string& whole) {
  return whole.compare(0, part.size(), part) == 0 && part.size() <= whole.size();
}

class FaultInjection : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    old_cwd_ = fs::current_path();
    for (int i = 0;; ++i) {
      dir_ = fs::temp_directory_path() / ("cuecheck-faults-" + std::to_string(i));
      if (fs::create_directory(dir_)) break;
    }
    fs::current_path(dir_);
  }
  void TearDown() override {
    fault_clear();
    std::filesystem::current_path(old_cwd_);
    std::filesystem::remove_all(dir_);
  }
  std::filesystem::path dir_, old_cwd_;
};

struct Input {
  const char* name;
  const char* file;
  std::string bytes;
  std::vector<const char*> args;  // after the file's name
};

std::vector<Input> inputs() {
  std::string heavy;  // a report on every subtitle, so that writes fill any buffer
  for (int i = 1; i <= 40; ++i) {
    heavy += std::to_string(i) + "\r\n00:00:0" + std::to_string(i % 10) +
             ",000 --> 00:00:00,500\r\nA|B[br]C\r\n\r\n";
  }
  return {
      {"subrip",
       "in.srt",
       "\r\n\r\n1\r\n00:00:01,000 --> 00:00:02,000\r\nHello|world\r\n\r\n"
       "2\r\n00:00:01,500 --> 00:00:03,000\r\nOne\r\nTwo\r\nThree\r\n\r\n"
       "3\r\n00:00:04,000 --> 00:00:04,100\r\nA long text that cannot be read in time\r\n\r\n"
       "5\r\nnot the next number\r\n",
       {}},
      {"microdvd",
       "in.sub",
       "{0}{25}Hello|world\n{20}{10}back[br]wards\n\n{30}{31}A text far too long for a frame\n"
       "{40}{80}Fine",
       {"23.976"}},
      {"subviewer",
       "in.sub",
       "[INFORMATION]\r\n\r\n[TITLE]x\r\n00:00:01.00,00:00:02.00\r\nA|B\r\n\r\n"
       "00:00:01.50,00:00:01.40\r\nSecond line follows\r\nextra\r\n\r\n"
       "10:00:00.00,10:00:01.00\r\nskipped\r\n\r\n00:00:03.00,00:00:04.00\r\nText\r\nthird\r\n"
       "not a time\r\nmore\r\n00:00:05.00,00:00:09.00\r\nLast\r\n",
       {}},
      {"fault-heavy", "in.srt", heavy, {}},
      {"empty", "in.srt", "", {}},
      {"rule-off", "in.srt", "1\n00:00:02,000 --> 00:00:01,000\nHi\n\n", {"-"}},
  };
}

// Runs the input with the Nth call failing for N = 1, 2, ... and checks every run.
void sweep(const Input& in, size_t in_cap, size_t out_cap, const Injected& err, bool one_byte,
           std::set<uint32_t>* reached) {
  std::vector<const char*> args = {in.file};
  args.insert(args.end(), in.args.begin(), in.args.end());
  const Outcome clean = run_once(args, FaultPlan{0, kCallAny, 0, one_byte}, in_cap, out_cap);
  ASSERT_FALSE(clean.stopped) << in.name;
  for (long n = 1;; ++n) {
    SCOPED_TRACE(std::string(in.name) + " call " + std::to_string(n) + " errno " +
                 std::to_string(err.error) + " in " + std::to_string(in_cap) + " out " +
                 std::to_string(out_cap) + (one_byte ? " one-byte reads" : ""));
    const Outcome o = run_once(args, FaultPlan{n, kCallAny, err.error, one_byte}, in_cap, out_cap);
    const unsigned failed = o.failed;
    ++g_runs;
    g_stops += o.stopped;
    if (failed == 0) {  // fewer than n calls: the run is the clean one
      EXPECT_FALSE(o.stopped);
      EXPECT_EQ(o.console, clean.console);
      EXPECT_EQ(o.errors, clean.errors);
      EXPECT_GT(n, 3);  // every run creates, opens, reads and closes
      return;
    }
    ASSERT_TRUE(o.stopped) << "a failed call went unreported";
    EXPECT_EQ(o.code, code_for(failed, err));
    EXPECT_EQ(kPlacesOf.at(failed).count(o.place), 1u)
        << "call " << failed << " stopped at " << describe(o.place);
    reached->insert(o.place);
    for (uint32_t ret : o.returns) {
      EXPECT_TRUE(row_of(ret) && row_of(ret)->stops == kStopNothing)
          << "the trace holds " << describe(ret) << ", not a return point";
    }
    // The transcript up to the stop, then the report.
    const std::string tail = "Runtime error " + std::to_string(o.code) + " at 0x";
    size_t at = o.console.rfind(tail);
    ASSERT_NE(at, std::string::npos);
    EXPECT_TRUE(is_prefix(o.console.substr(0, at), clean.console));
    EXPECT_TRUE(is_prefix(o.errors, clean.errors))
        << "errors.txt is not a prefix of the complete run's:\n"
        << o.errors;
  }
}

TEST_F(FaultInjection, EveryCallFailsInTurn) {
  std::set<uint32_t> reached;
  const Injected errors[] = {kNotFound, kDenied, kDeviceError, kDiskFull, kTooMany, kOther};
  const size_t caps[][2] = {{256 * 1024, 64 * 1024}, {7, 16}, {4, 1}};
  for (const Input& in : inputs()) {
    {
      std::ofstream f(in.file, std::ios::binary);
      f << in.bytes;
    }
    // Every error with the full buffers; with small ones, where a buffer fills at every
    // place that can fill it, and with reads of one byte, one error is enough.
    for (const Injected& err : errors) sweep(in, caps[0][0], caps[0][1], err, false, &reached);
    sweep(in, caps[1][0], caps[1][1], kDeviceError, false, &reached);
    sweep(in, caps[2][0], caps[2][1], kDiskFull, false, &reached);
    sweep(in, caps[1][0], caps[1][1], kDeviceError, true, &reached);
    std::remove(in.file);
  }
  // Every place where a file call can fail is reached by some input.
  for (const TracePlaceRow& row : kTracePlaces) {
    if (row.stops & kCallAny) {
      EXPECT_EQ(reached.count(row.id), 1u) << "never stopped at " << describe(row.id);
    }
  }
  std::printf("fault injection: %ld runs, %ld stopped, at %zu places:", g_runs, g_stops,
              reached.size());
  for (uint32_t place : reached) std::printf(" 0x%08X", static_cast<unsigned>(place));
  std::printf("\n");
}

// Reads cut to one byte each split every line and every CR LF; the output is the same.
TEST_F(FaultInjection, OneByteReadsChangeNothing) {
  for (const Input& in : inputs()) {
    SCOPED_TRACE(in.name);
    {
      std::ofstream f(in.file, std::ios::binary);
      f << in.bytes;
    }
    std::vector<const char*> args = {in.file};
    args.insert(args.end(), in.args.begin(), in.args.end());
    const Outcome whole = run_once(args, FaultPlan{0, 0, 0, false}, 256 * 1024, 64 * 1024);
    const Outcome bytes = run_once(args, FaultPlan{0, 0, 0, true}, 256 * 1024, 64 * 1024);
    EXPECT_FALSE(whole.stopped);
    EXPECT_FALSE(bytes.stopped);
    EXPECT_EQ(bytes.console, whole.console);
    EXPECT_EQ(bytes.errors, whole.errors);
    std::remove(in.file);
  }
}

// The places where real arithmetic stops a run.
TEST_F(FaultInjection, ArithmeticStops) {
  {
    std::ofstream f("in.sub", std::ios::binary);
    f << "{0}{25}Hello\n";
  }
  const struct {
    const char* fps;
    int code;
    uint32_t place;
  } cases[] = {
      {"1e400", kErrOverflow, kPlaceStoreFps},
      {"1e5000", kErrOverflow, kPlacePowerOfTen},
      {"9e4932", kErrOverflow, kPlaceScale},
      {"0", kErrDivisionByZero, kPlaceMdvdDisplayTime},
      {"1e-320", kErrOverflow, kPlaceMdvdDisplayTime},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fps);
    const Outcome o = run_once({"in.sub", c.fps}, FaultPlan{0, 0, 0, false}, 256 * 1024, 64 * 1024);
    EXPECT_TRUE(o.stopped);
    EXPECT_EQ(o.code, c.code);
    EXPECT_EQ(o.place, c.place) << describe(o.place);
    ASSERT_NE(row_of(c.place), nullptr);
    EXPECT_EQ(row_of(c.place)->stops, kStopArithmetic) << describe(c.place);
  }
  // A time far beyond any the program reads: its hundredths leave 32 bits.
  ShortStr text;
  try {
    TT2ST(1e12, text);
    ADD_FAILURE() << "no stop";
  } catch (const RunStop& stop) {
    EXPECT_EQ(stop.code, kErrInvalidOperation);
    EXPECT_EQ(stop.trace[0], kPlaceHundredths) << describe(stop.trace[0]);
  }
}

}  // namespace
