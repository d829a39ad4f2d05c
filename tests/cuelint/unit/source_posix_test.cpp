// FileSource on what only POSIX sets up in a test: a pipe.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>

#include "lint.h"
#include "lint_helper.h"
#include "platform_faults.h"
#include "source.h"

using namespace cuelint;

namespace {

// A file given as a pipe cannot seek: what was read is copied aside, and the encoding's
// decision reads on and comes back in the copy.
TEST(FileSource, PipeGivesWhatMemoryGives) {
  std::string body;
  for (int i = 1; i <= 3000; ++i)
    body += std::to_string(i) + "\n00:00:01,000 --> 00:00:0" + std::to_string(i % 3) +
            ",400\nsome text of a subtitle\n\n";
  for (std::string tail :
       {std::string("\xC3\xA9t\xC3\xA9\n"), std::string("\xE9t\xE9\n"), std::string()}) {
    std::string t = body + "3001\n00:00:05,000 --> 00:00:05,100\n" + tail;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::thread writer([&] {
      std::size_t done = 0;
      while (done < t.size()) {
        ssize_t n = ::write(fds[1], t.data() + done, t.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
      }
      ::close(fds[1]);
    });
    cuelint_test::Collect piped;
    FileOutcome o;
    {
      FileSource src(File{fds[0]});
      o = lint(src, Options{}, piped);
    }
    writer.join();
    MemorySource mem(t.data(), t.size());
    cuelint_test::Collect direct;
    FileOutcome m = lint(mem, Options{}, direct, 65536, true);
    EXPECT_EQ(o.encoding, m.encoding) << tail;
    EXPECT_EQ(cuelint_test::brief(piped.faults), cuelint_test::brief(direct.faults)) << tail;
    EXPECT_EQ(o.faults, m.faults);
    EXPECT_GT(o.faults, 2000u);
  }
}

// The copy of a pipe is the platform's nameless file: a failure to make it or write it is a
// read error of the file, never a short file.
TEST(FileSource, PipeCopyFailures) {
  for (FaultCall call : {kCallTemp, kCallWrite}) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ASSERT_EQ(::write(fds[1], "{0}{1}abc\n", 10), 10);
    ::close(fds[1]);
    fault_plan(FaultPlan{1, call, ENOSPC, false});
    FileSource src(File{fds[0]});
    char buf[64];
    try {
      src.read(buf, sizeof buf);
      ADD_FAILURE() << "no ReadError for call " << call;
    } catch (const ReadError& e) {
      EXPECT_EQ(e.error, ENOSPC);
    }
    fault_clear();
  }
}

}  // namespace
