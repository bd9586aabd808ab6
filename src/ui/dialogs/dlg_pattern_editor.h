// TdlgPatternEditor: the pattern editor, "Text Pattern", for a column filled with text from a
// pattern. The pattern is typed in edPattern, with a reminder of the placeholders beside it, and
// lbSamples shows five texts the pattern makes, drawn again at each change. A pattern the check
// refuses shows the check's reason instead, and OK waits for one it takes.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

#include "fill/pattern_sampler.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace rowsmith {

class TdlgPatternEditor : public QDialog {
    Q_OBJECT

public:
    // How many samples lbSamples shows.
    static constexpr int kSamples = 5;

    // The pattern is for the column `fieldName` of the table `sources` describes; `sources` must
    // outlive the dialog.
    TdlgPatternEditor(const ValueSources& sources, const std::string& fieldName,
                      QWidget* parent = nullptr);

    void SetPattern(const std::string& pattern);
    std::string Pattern() const;
    // The seed the samples are drawn from, the same for every change, so that typing one more
    // character does not draw the rest anew.
    void SetSeed(std::uint32_t seed);

    QLineEdit* edPattern = nullptr;
    QLabel* lblPlaceholders = nullptr;
    QStackedWidget* pgSamples = nullptr;
    QListWidget* lbSamples = nullptr;
    QLabel* lblRefusal = nullptr;
    QLabel* lblUnresolved = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void edPatternChange();

    PatternSampler sampler_;
    std::uint32_t seed_;
};

}  // namespace rowsmith
