#include "textfile.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform_faults.h"
#include "runerror.h"

namespace {

std::string text_of(const ShortStr& s) {
  return std::string(ss_chars(s), ss_len(s));
}

// Reads every line of `bytes` the way the checkers do: test, then read.
std::vector<std::string> lines_of(InFile& f) {
  std::vector<std::string> out;
  ShortStr s;
  std::memset(&s, 0, sizeof s);
  while (!at_eof(f)) {
    read_line(f, s);
    out.push_back(text_of(s));
    if (out.size() > 100) break;
  }
  return out;
}

struct LineCase {
  std::string bytes;
  std::vector<std::string> lines;
};

TEST(LineRead, LineEndsAndEndOfFile) {
  const std::string z(1, '\x1a');
  const LineCase cases[] = {
      {"A\r\nB\r\n", {"A", "B"}},
      {"A\r\nB", {"A", "B"}},
      {"A\r\nB\r\n\r\n", {"A", "B", ""}},
      {"A\r\r\nB", {"A", "", "B"}},
      {"A\n\rB", {"A", "", "B"}},
      {"A\rB\nC", {"A", "B", "C"}},
      {"A\r\n" + z + "\r\nC", {"A"}},  // Ctrl-Z next ends the file
      {"A" + z + "B\r\n", {"A" + z + "B"}},
      {z, {}},
      {"", {}},
      {"\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {std::string("A\0B\n", 4), {std::string("A\0B", 3)}},
      {"\xEF\xBB\xBF"
       "1\r\n",
       {"1"}},  // a byte-order mark at the start is no text
      {"\xEF\xBB\xBF", {}},
      {"\xEF\xBB"
       "X",
       {"\xEF\xBB"
        "X"}},
      {"A\r\n\xEF\xBB\xBF"
       "B",
       {"A",
        "\xEF\xBB\xBF"
        "B"}},
  };
  for (const LineCase& c : cases) {
    InFile f;
    in_open_memory(f, c.bytes.data(), c.bytes.size());
    EXPECT_EQ(lines_of(f), c.lines) << "bytes [" << c.bytes << "]";
  }
}

TEST(LineRead, LongLinesAreCutAt255AndTheRestDropped) {
  const std::string l300(300, 'x'), l255(255, 'y');
  const std::string bytes = l300 + "\r\nX\n" + l255 + "\r\nZ\r" + l255 + "\rW";
  InFile f;
  in_open_memory(f, bytes.data(), bytes.size());
  std::vector<std::string> want = {std::string(255, 'x'), "X", l255, "Z", l255, "W"};
  EXPECT_EQ(lines_of(f), want);
}

TEST(LineRead, PositionsPastTheLengthKeepOlderCharacters) {
  const std::string bytes = "0123456789\nabc\n\nXY\n";
  InFile f;
  in_open_memory(f, bytes.data(), bytes.size());
  ShortStr s;
  std::memset(&s, 0, sizeof s);
  read_line(f, s);
  read_line(f, s);
  EXPECT_EQ(text_of(s), "abc");
  EXPECT_EQ(std::string(ss_chars(s), 10), "abc3456789");
  read_line(f, s);
  EXPECT_EQ(ss_len(s), 0);
  EXPECT_EQ(ss_at(s, 1), 'a');  // an empty line still begins with the old first character
  EXPECT_EQ(ss_at(s, 11), 0);   // no line reached here
  read_line(f, s);
  EXPECT_EQ(std::string(ss_chars(s), 4), "XYc3");
}

TEST(LineRead, AtTheEndEveryReadIsAnEmptyLine) {
  const std::string bytes = "A";
  InFile f;
  in_open_memory(f, bytes.data(), bytes.size());
  ShortStr s;
  read_line(f, s);
  EXPECT_TRUE(at_eof(f));
  EXPECT_TRUE(exhausted(f));
  for (int i = 0; i < 3; ++i) {
    read_line(f, s);
    EXPECT_EQ(ss_len(s), 0);
    EXPECT_EQ(ss_at(s, 1), 'A');
  }
}

TEST(LineRead, CtrlZEndsTheTestButNotTheBytes) {
  const std::string bytes =
      "\x1a"
      "B";
  InFile f;
  in_open_memory(f, bytes.data(), bytes.size());
  EXPECT_TRUE(at_eof(f));
  EXPECT_FALSE(exhausted(f));
  ShortStr s;
  read_line(f, s);
  EXPECT_EQ(text_of(s),
            "\x1a"
            "B");
  EXPECT_TRUE(exhausted(f));
}

// A file larger than the read buffer, with line ends and long lines across its refills.
TEST(LineRead, FromAFileAcrossBufferRefills) {
  char path[] = "/tmp/cuecheck-linein-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  std::string bytes;
  std::vector<std::string> want;
  std::srand(7);
  while (bytes.size() < 3 * 256 * 1024) {
    int len = std::rand() % 400;
    std::string line(static_cast<size_t>(len), static_cast<char>('a' + std::rand() % 26));
    const char* ends[] = {"\r\n", "\n", "\r"};
    bytes += line;
    bytes += ends[std::rand() % 3];
    want.push_back(line.substr(0, 255));
  }
  // A CR LF split by the first refill, and a CR alone just before it.
  bytes.replace(256 * 1024 - 1, 2, "\r\n");
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(fd);

  InFile f{};
  in_open(f, path);
  io_check(1);
  std::vector<std::string> got = {};
  ShortStr s;
  while (!at_eof(f)) {
    read_line(f, s);
    got.push_back(text_of(s));
  }
  in_close(f);
  io_check(2);

  InFile m;
  in_open_memory(m, bytes.data(), bytes.size());
  std::vector<std::string> from_memory;
  while (!at_eof(m)) {
    read_line(m, s);
    from_memory.push_back(text_of(s));
  }
  EXPECT_EQ(got, from_memory);
  EXPECT_GT(got.size(), 2000u);
  unlink(path);
}

int open_code(const char* name) {
  textfile_reset();
  InFile f{};
  in_open(f, name);
  try {
    io_check(1);
  } catch (const RunStop& stop) {
    return stop.code;
  }
  in_close(f);
  return 0;
}

TEST(Opening, FailuresGiveTheirCodes) {
  EXPECT_EQ(open_code("/nonexistent-cuecheck-file"), 2);
  EXPECT_EQ(open_code("/nonexistent-cuecheck-dir/file"), 3);
  EXPECT_EQ(open_code("/tmp"), 5);
  EXPECT_EQ(open_code("/etc/hostname/x"), 3);
}

TEST(Opening, AFileInUseByAnotherOpeningIsRefused) {
  char path[] = "/tmp/cuecheck-lock-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  textfile_reset();
  OutFile out{};
  out_create(out, path);
  io_check(1);
  EXPECT_EQ(open_code(path), 5);
  out_close(out);
  io_check(2);
  EXPECT_EQ(open_code(path), 0);
  unlink(path);
}

TEST(Writing, AFailedWriteStopsWith101AtTheFlush) {
  // errors.txt is written only into a regular file, so the full disk is the platform's own
  // disk-full error, made to happen at the first write.
#if defined(_WIN32)
  const int disk_full = 112;  // ERROR_DISK_FULL
#else
  const int disk_full = ENOSPC;
#endif
  char path[] = "/tmp/cuecheck-out-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  textfile_reset();
  OutFile out{};
  out_create(out, path);
  io_check(1);
  fault_plan(FaultPlan{1, kCallWrite, disk_full, false});
  out_write(out, "a line", 6);
  out_line_end(out);
  int code = 0;
  try {
    io_check(2);  // still in the buffer
    out_close(out);
    io_check(3);
  } catch (const RunStop& stop) {
    code = stop.code;
  }
  fault_clear();
  unlink(path);
  EXPECT_EQ(code, 101);
}

TEST(Writing, BytesGoOutExactlyWithCrLf) {
  char path[] = "/tmp/cuecheck-out-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, "old contents", 12), 12);
  close(fd);
  textfile_reset();
  OutFile out{};
  out_create(out, path);
  std::string big(200000, 'q');
  out_write(out, "x", 1);
  out_line_end(out);
  out_write(out, big.data(), big.size());
  out_write(out, "", 1);
  out_close(out);
  io_check(1);
  FILE* in = std::fopen(path, "rb");
  ASSERT_NE(in, nullptr);
  std::string got;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) got.append(buf, n);
  std::fclose(in);
  EXPECT_EQ(got, "x\r\n" + big + std::string(1, '\0'));
  unlink(path);
}

}  // namespace
