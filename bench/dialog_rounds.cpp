#include "dialog_rounds.h"

#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "dialogs/dlg_show_data.h"
#include "engine/database_session.h"

namespace rowsmith::bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPageUps = 20;
// The figures in the order they are printed.
const char* const kFigures[] = {"open_ms",      "jump_middle_ms", "page_up_ms", "page_up_max_ms",
                                "jump_last_ms", "jump_first_ms",  "peak_mb"};

double Ms(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The peak resident memory of this process in megabytes, as the kernel counts it.
double PeakMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

// The load averages as uptime prints them.
std::string Load() {
    std::ifstream loadavg("/proc/loadavg");
    std::string one, five, fifteen;
    loadavg >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

void Check(bool ok, const std::string& what) {
    if (!ok) {
        throw std::runtime_error(what);
    }
}

// Sends a key to the grid and waits for it to be painted; gives the milliseconds.
double Press(QTableView& grid, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const auto start = Clock::now();
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&grid, &press);
    QApplication::processEvents();
    grid.viewport()->repaint();
    return Ms(start);
}

// The record number the row header shows for the current row.
long CurrentRecord(QTableView& grid) {
    return grid.model()->headerData(grid.currentIndex().row(), Qt::Vertical).toString().toLong();
}

// One round in this process; the figures go to `out` as "name value" lines. With a `shot` file
// name, the dialog in the middle of the table is saved there as a picture.
void Round(const std::string& alias, long records, const std::string& shot, std::ostream& out) {
    DatabaseSession::Instance().Connect(alias);  // the connection is not the viewer's to time
    auto start = Clock::now();
    TdlgShowData viewer;
    viewer.ATable.SetDatabaseName(alias);
    viewer.SetTables({"big"});
    viewer.cbTables->setCurrentIndex(0);
    viewer.ShowTable();
    viewer.show();
    QApplication::processEvents();
    QTableView& grid = *viewer.dbgResult;
    grid.viewport()->repaint();
    out << "open_ms " << Ms(start) << "\n";
    Check(viewer.dsResult->RecordCount() == records,
          "the viewer counts " + std::to_string(viewer.dsResult->RecordCount()) + " records");

    QScrollBar& bar = *viewer.sbRecords;
    start = Clock::now();
    bar.setValue(bar.maximum() / 2);
    QApplication::processEvents();
    grid.viewport()->repaint();
    out << "jump_middle_ms " << Ms(start) << "\n";
    grid.setCurrentIndex(grid.indexAt(QPoint(1, 1)));
    const long middle = CurrentRecord(grid);
    Check(middle > records / 3 && middle < records * 2 / 3,
          "the middle jump lands on record " + std::to_string(middle));
    if (!shot.empty()) {
        QApplication::processEvents();
        Check(viewer.grab().save(QString::fromStdString(shot)), "cannot write " + shot);
    }

    std::vector<double> pageUps;
    for (int i = 0; i < kPageUps; ++i) {
        pageUps.push_back(Press(grid, Qt::Key_PageUp));
    }
    Check(CurrentRecord(grid) < middle - kPageUps, "page up does not move up");
    std::sort(pageUps.begin(), pageUps.end());
    out << "page_up_ms " << pageUps[pageUps.size() / 2] << "\n";
    out << "page_up_max_ms " << pageUps.back() << "\n";

    out << "jump_last_ms " << Press(grid, Qt::Key_End, Qt::ControlModifier) << "\n";
    out << "jump_first_ms " << Press(grid, Qt::Key_Home, Qt::ControlModifier) << "\n";
    Check(CurrentRecord(grid) == 1, "Ctrl+Home does not reach the first record");
    out << "peak_mb " << PeakMb() << "\n";
}

// Runs one round in a child process; gives its figures.
std::map<std::string, double> ForkRound(const std::string& alias, long records,
                                        const std::string& shot) {
    int channel[2];
    Check(pipe(channel) == 0, "cannot make a pipe");
    const pid_t child = fork();
    Check(child >= 0, "cannot start a round");
    if (child == 0) {
        close(channel[0]);
        std::ostringstream out;
        int status = 0;
        try {
            int argc = 1;
            char name[] = "viewer_bench";
            char* argv[] = {name, nullptr};
            QApplication application(argc, argv);
            Round(alias, records, shot, out);
        } catch (const std::exception& error) {
            out.str(std::string("error ") + error.what() + "\n");
            status = 1;
        }
        const std::string text = out.str();
        const ssize_t written = write(channel[1], text.data(), text.size());
        // The parent's connections and files are not the child's to close.
        _exit(written == static_cast<ssize_t>(text.size()) ? status : 1);
    }
    close(channel[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    Check(text.rfind("error ", 0) != 0, text.empty() ? "a round failed" : text.substr(6));
    Check(WIFEXITED(status) && WEXITSTATUS(status) == 0, "a round failed");
    std::map<std::string, double> figures;
    std::istringstream in(text);
    std::string name;
    double value = 0;
    while (in >> name >> value) {
        figures[name] = value;
    }
    return figures;
}

}  // namespace

void RunDialogRounds(const std::string& alias, long records, int rounds, const std::string& shot) {
    std::printf("records %ld, dialog, %d rounds\n", records, rounds);
    std::map<std::string, std::vector<double>> all;
    for (int round = 1; round <= rounds; ++round) {
        const std::string load = Load();
        const std::map<std::string, double> figures =
            ForkRound(alias, records, round == 1 ? shot : std::string());
        std::printf("round %d (load %s):", round, load.c_str());
        for (const char* name : kFigures) {
            const double value = figures.count(name) ? figures.at(name) : 0;
            all[name].push_back(value);
            std::printf(" %s %.1f", name, value);
        }
        std::printf("\n");
    }
    std::printf("min / median / max (load %s)\n", Load().c_str());
    for (const char* name : kFigures) {
        std::vector<double>& values = all[name];
        std::sort(values.begin(), values.end());
        std::printf("%-15s %.1f / %.1f / %.1f\n", name, values.front(), values[values.size() / 2],
                    values.back());
    }
}

}  // namespace rowsmith::bench
