#include "app/reply.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace adequacy {
namespace {

// A temporary file holding `bytes`, read from its start.
class Input {
 public:
  explicit Input(const std::string& bytes) : file_(std::tmpfile()) {
    std::fwrite(bytes.data(), 1, bytes.size(), file_);
    std::rewind(file_);
  }
  ~Input() { std::fclose(file_); }
  std::FILE* get() { return file_; }

 private:
  std::FILE* file_;
};

std::string Text(const ReplyLine& line) {
  return std::string(line.begin(), line.end());
}

std::string Padded(const std::string& text) {
  return text + std::string(kReplyColumns - text.size(), ' ');
}

TEST(ReplyTest, LinesArePaddedCutAndFullyConsumed) {
  const std::string long_line(10000000, 'x');
  Input input("2500\r\n\n" + std::string(60, '7') + "tail\nabc\r\r\n" +
              long_line + "\nlast");
  ReplyLine line;
  ASSERT_EQ(ReadReplyLine(input.get(), &line), ReadStatus::kOk);
  EXPECT_EQ(Text(line), Padded("2500"));
  ASSERT_EQ(ReadReplyLine(input.get(), &line), ReadStatus::kOk);
  EXPECT_EQ(Text(line), Padded(""));
  EXPECT_TRUE(IsBlankReply(line));
  ASSERT_EQ(ReadReplyLine(input.get(), &line), ReadStatus::kOk);
  EXPECT_EQ(Text(line), std::string(50, '7'));
  ASSERT_EQ(ReadReplyLine(input.get(), &line), ReadStatus::kOk);
  EXPECT_EQ(Text(line), Padded("abc\r"));  // Only the CR before LF goes.
  ASSERT_EQ(ReadReplyLine(input.get(), &line), ReadStatus::kOk);
  EXPECT_EQ(Text(line), std::string(50, 'x'));
  // A last line without a line feed is still a line.
  ASSERT_EQ(ReadReplyLine(input.get(), &line), ReadStatus::kOk);
  EXPECT_EQ(Text(line), Padded("last"));
  EXPECT_EQ(ReadReplyLine(input.get(), &line), ReadStatus::kEndOfInput);
  EXPECT_EQ(ReadReplyLine(input.get(), &line), ReadStatus::kEndOfInput);
}

TEST(ReplyTest, LineLengthsAroundFiftyColumns) {
  for (size_t length : {49u, 50u, 51u}) {
    Input input(std::string(length, '9') + "\r\n");
    ReplyLine line;
    ASSERT_EQ(ReadReplyLine(input.get(), &line), ReadStatus::kOk);
    EXPECT_EQ(Text(line),
              Padded(std::string(std::min<size_t>(length, 50), '9')));
  }
}

// A line of exactly the longest length reads, with or without a carriage
// return before its line feed; one byte more, or no line end, is too long.
TEST(ReplyTest, LinesBeyondTheLongestAreRefused) {
  ReplyLine line;
  for (const char* end : {"\n", "\r\n", ""}) {
    Input input(std::string(8, 'x') + end);
    EXPECT_EQ(ReadReplyLine(input.get(), &line, 8), ReadStatus::kOk) << end;
  }
  for (const char* end : {"\n", "\r\n", ""}) {
    Input input(std::string(9, 'x') + end);
    EXPECT_EQ(ReadReplyLine(input.get(), &line, 8), ReadStatus::kTooLong)
        << end;
  }
  Input input(std::string(8, 'x') + "\r\r\n");
  EXPECT_EQ(ReadReplyLine(input.get(), &line, 8), ReadStatus::kTooLong);
}

TEST(ReplyTest, ControlAndHighBytesAreCopied) {
  Input input(std::string("\t\0\f\xff", 4) + "\n");
  ReplyLine line;
  ASSERT_EQ(ReadReplyLine(input.get(), &line), ReadStatus::kOk);
  EXPECT_EQ(Text(line), Padded(std::string("\t\0\f\xff", 4)));
  EXPECT_FALSE(IsBlankReply(line));
}

TEST(ReplyTest, BlankAndContinueTests) {
  ReplyLine line;
  line.fill(' ');
  EXPECT_TRUE(IsBlankReply(line));
  EXPECT_FALSE(IsContinueReply(line));
  line[49] = '\t';
  EXPECT_FALSE(IsBlankReply(line));
  for (const char* reply : {"1", "12", "1 anything"}) {
    line.fill(' ');
    std::copy_n(reply, std::strlen(reply), line.begin());
    EXPECT_TRUE(IsContinueReply(line)) << reply;
  }
  for (const char* reply : {" 1", "Y", "YES", "2"}) {
    line.fill(' ');
    std::copy_n(reply, std::strlen(reply), line.begin());
    EXPECT_FALSE(IsContinueReply(line)) << reply;
  }
}

}  // namespace
}  // namespace adequacy
