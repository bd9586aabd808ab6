// What rowsmith-fill writes to standard error while it fills, read from a memory stream, on a
// clock the test moves.
#include "cli/terminal_reporter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace rowsmith::test {
namespace {

using namespace std::chrono_literals;

class TerminalReporterTest : public ::testing::Test {
protected:
    ~TerminalReporterTest() override {
        std::fclose(out_);
        std::free(buffer_);
    }

    TerminalReporter Reporter(TerminalReporter::Style style,
                              TerminalReporter::Columns columns = {}) {
        return TerminalReporter(
            style, out_, [this] { return now_; }, std::move(columns));
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

// The bar was 30 characters whatever the terminal: on a narrow one the line wrapped, and every
// drawing added a line. Each drawing now keeps off the terminal's last column, and follows the
// terminal when it is resized.
TEST_F(TerminalReporterTest, EachDrawingOfTheBarKeepsToTheTerminalsWidth) {
    int columns = 100;
    TerminalReporter reporter =
        Reporter(TerminalReporter::Style::ProgressBar, [&columns] { return columns; });
    reporter.TableStarted("orders_of_the_northern_region", TableWork::Fill);
    reporter.WritingStarted(1000000);
    std::int64_t written = 0;
    for (const int width : {100, 60, 40, 20, 72}) {
        columns = width;
        now_ += 1s;
        written += 64;
        reporter.RecordsWritten(written);
        const std::string output = Output();
        const std::string drawing = output.substr(output.rfind('\r') + 1);
        ASSERT_EQ(drawing.substr(drawing.size() - 3), "\033[K") << drawing;
        const std::size_t shown = drawing.size() - 3;
        EXPECT_LT(shown, static_cast<std::size_t>(width)) << drawing;
        if (width == 100) {
            EXPECT_NE(drawing.find("records/s"), std::string::npos) << drawing;
        }
    }
    reporter.TableFinished(true);
}

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
