// TdlgCheck: the "Check scenario" list of what will fail or surprise in a fill, one warning a row
// of sgWarnings with its table, its column (empty for the whole table) and the reason. The table
// is read only. Double-clicking a row, or Enter on it, closes the dialog with that warning chosen,
// so that the caller can take the user to its table and column; Close chooses none.
#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "fill/scenario_lint.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace rowsmith {

class TdlgCheck : public QDialog {
    Q_OBJECT

public:
    // The columns of sgWarnings.
    enum Column { colTable = 0, colColumn = 1, colReason = 2 };

    explicit TdlgCheck(QWidget* parent = nullptr);

    // Lists `warnings` in their order, the first one current.
    void SetWarnings(const std::vector<LintWarning>& warnings);
    // The warning whose row the user activated, or none when the dialog was closed.
    const std::optional<LintWarning>& Chosen() const { return chosen_; }

    QLabel* lblSummary = nullptr;
    QTableWidget* sgWarnings = nullptr;
    QPushButton* btnClose = nullptr;

private:
    void FormCreate();
    void sgWarningsActivated(int row);

    std::vector<LintWarning> warnings_;
    std::optional<LintWarning> chosen_;
};

}  // namespace rowsmith
