#include "dialogs/dlg_edit_values2.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/application.h"
#include "common/message_boxes.h"
#include "common/modal_run.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/dlg_library_picker.h"
#include "fill/library_finder.h"
#include "fill/value_library.h"
#include "model/comma_items.h"
#include "model/replace_file.h"
#include "text/errors.h"

namespace rowsmith {

namespace {

constexpr int kMemoWidth = 201;
constexpr int kMemoHeight = 157;

// Why a library cannot hold `line` as a value, or empty when it can.
QString LibraryRefusal(const QString& line, int number) {
    if (line.trimmed().isEmpty()) {
        return QString("Line %1 is empty: a library holds no empty values").arg(number);
    }
    if (line.startsWith(u'#')) {
        return QString("Line %1 starts with \"#\": a library reads it as a comment").arg(number);
    }
    return {};
}

}  // namespace

TdlgEditValues2::TdlgEditValues2(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgEditValues2");
    setWindowTitle("Edit Values");

    memValues = new QPlainTextEdit;
    memValues->setObjectName("memValues");
    memValues->setAccessibleName("Values");
    memValues->setMinimumSize(kMemoWidth, kMemoHeight);
    memValues->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memValues->setTabChangesFocus(true);

    btnLoadLibrary = new QPushButton("Load from library...");
    btnLoadLibrary->setObjectName("btnLoadLibrary");
    btnSaveLibrary = new QPushButton("Save as library...");
    btnSaveLibrary->setObjectName("btnSaveLibrary");
    auto* libraryRow = new QHBoxLayout;
    libraryRow->addWidget(btnLoadLibrary);
    libraryRow->addWidget(btnSaveLibrary);
    libraryRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memValues, 1);
    layout->addLayout(libraryRow);
    layout->addLayout(MakeOkCancelRow(*this, btnOK, btnCancel, Qt::Horizontal));
    // OK and Cancel come first in the keyboard order, then the memo and the library buttons.
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, memValues);
    setTabOrder(memValues, btnLoadLibrary);
    setTabOrder(btnLoadLibrary, btnSaveLibrary);

    // Both read or write files: their errors are shown before they could unwind through Qt.
    connect(btnLoadLibrary, &QPushButton::clicked, this,
            Handled([this] { btnLoadLibraryClick(); }));
    connect(btnSaveLibrary, &QPushButton::clicked, this,
            Handled([this] { btnSaveLibraryClick(); }));
}

void TdlgEditValues2::SetValues(const std::vector<std::string>& values) {
    QStringList lines;
    for (const std::string& value : values) {
        lines << QString::fromStdString(value);
    }
    QString text = lines.join(u'\n');
    // A last empty line must survive the reading back, which drops one.
    if (!values.empty() && values.back().empty()) {
        text += u'\n';
    }
    memValues->setPlainText(text);
}

QStringList TdlgEditValues2::Lines() const {
    QStringList lines = memValues->toPlainText().split(u'\n');
    if (lines.constLast().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

std::string TdlgEditValues2::ValueSetText() const {
    std::vector<std::string> values;
    for (const QString& line : Lines()) {
        values.push_back(line.toStdString());
    }
    return JoinValueSet(values);
}

void TdlgEditValues2::btnLoadLibraryClick() {
    TdlgLibraryPicker picker(LibraryFinder(), {}, this);
    if (RunModal(picker) != QDialog::Accepted || picker.SelectedFile().empty()) {
        return;
    }
    const ValueLibrary library =
        ValueLibrary::Load(picker.SelectedFile(), picker.SelectedLibrary());
    QStringList lines;
    for (std::size_t i = 0; i < library.Count(); ++i) {
        lines << QString::fromStdString(std::string(library.Value(i)));
    }
    memValues->setPlainText(lines.join(u'\n'));
}

void TdlgEditValues2::btnSaveLibraryClick() {
    const QStringList lines = Lines();
    if (lines.isEmpty()) {
        ShowErrorBox("There are no values to save");
        return;
    }
    for (int i = 0; i < lines.size(); ++i) {
        if (const QString refusal = LibraryRefusal(lines[i], i + 1); !refusal.isEmpty()) {
            ShowErrorBox(refusal);
            return;
        }
    }
    QInputDialog ask(this);
    ask.setObjectName("dlgLibraryName");
    ask.setWindowTitle("Save as Library");
    ask.setLabelText("Library name:");
    if (RunModal(ask) != QDialog::Accepted) {
        return;
    }
    const QString name = ask.textValue().trimmed();
    if (name.isEmpty()) {
        ShowErrorBox("A library needs a name");
        return;
    }
    if (name.contains(u'/')) {
        ShowErrorBox("A library name cannot hold \"/\"");
        return;
    }
    const QString folder = QString::fromStdString(LibraryFinder().UserFolder());
    const QString path =
        folder + "/" + name +
        QString::fromUtf8(LibraryFinder::kExtension.data(), LibraryFinder::kExtension.size());
    if (QFileInfo::exists(path) &&
        !AskYesNo(QString("Library \"%1\" already exists. Replace it?").arg(name))) {
        return;
    }
    if (!QDir().mkpath(folder)) {
        throw EFCreateError("Cannot create folder " + folder.toStdString());
    }
    QString text = "# " + name + ": values saved from the value-set editor\n";
    for (const QString& line : lines) {
        // The last tab of a line starts its weight: a value holding a tab gets its weight written.
        text += line + (line.contains(u'\t') ? "\t1\n" : "\n");
    }
    ReplaceFile(path.toStdString(), text.toStdString());
}

}  // namespace rowsmith
