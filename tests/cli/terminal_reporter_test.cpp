// What rowsmith-fill writes to standard error while it fills, read from a memory stream, on a
// clock the test moves.
#include "cli/terminal_reporter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace rowsmith::test {
namespace {

using namespace std::chrono_literals;

class TerminalReporterTest : public ::testing::Test {
protected:
    ~TerminalReporterTest() override {
        std::fclose(out_);
        std::free(buffer_);
    }

    TerminalReporter Reporter(TerminalReporter::Style style) {
        return TerminalReporter(style, out_, [this] { return now_; });
    }

    // Writes `records` records of the table at `perSecond` records a second, telling the reporter
    // of each.
    void Write(TerminalReporter& reporter, const std::string& table, std::int64_t records,
               std::int64_t perSecond) {
        reporter.TableStarted(table, TableWork::Fill);
        reporter.WritingStarted(records);
        for (std::int64_t written = 1; written <= records; ++written) {
            if (written % perSecond == 0) {
                now_ += 1s;
            }
            reporter.RecordsWritten(written);
        }
        reporter.TableFinished(true);
    }

    std::string Output() {
        std::fflush(out_);
        return std::string(buffer_, size_);
    }

    TerminalReporter::Clock::time_point now_{};

private:
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* out_ = open_memstream(&buffer_, &size_);
};

// A log got nothing from a table until its end, so a long fill looked like a hung one. Each ten
// seconds of a table now give a line, counted afresh for the next table.
TEST_F(TerminalReporterTest, ALogGetsAProgressLineEveryTenSecondsOfATable) {
    TerminalReporter reporter = Reporter(TerminalReporter::Style::Lines);
    Write(reporter, "big", 256000, 6400);
    Write(reporter, "small", 6400, 6400);
    Write(reporter, "next", 70400, 6400);
    EXPECT_EQ(Output(),
              "big: 64000 of 256000 records so far (6400 records/s)\n"
              "big: 128000 of 256000 records so far (6400 records/s)\n"
              "big: 192000 of 256000 records so far (6400 records/s)\n"
              "big: 256000 records in 40.00 s (6400 records/s)\n"
              "small: 6400 records in 1.00 s (6400 records/s)\n"
              "next: 64000 of 70400 records so far (6400 records/s)\n"
              "next: 70400 records in 11.00 s (6400 records/s)\n");
}

TEST_F(TerminalReporterTest, QuietSaysNothingAndATerminalGetsNoProgressLines) {
    TerminalReporter quiet = Reporter(TerminalReporter::Style::Quiet);
    Write(quiet, "big", 128000, 6400);
    quiet.FinishFill();
    EXPECT_EQ(Output(), "");

    TerminalReporter bar = Reporter(TerminalReporter::Style::ProgressBar);
    Write(bar, "big", 128000, 6400);
    EXPECT_EQ(Output().find("so far"), std::string::npos);
}

}  // namespace
}  // namespace rowsmith::test
