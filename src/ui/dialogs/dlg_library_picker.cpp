#include "dialogs/dlg_library_picker.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "dialogs/dialog_parts.h"
#include "fill/value_library.h"
#include "text/errors.h"

namespace rowsmith {

namespace {

constexpr int kListWidth = 560;
constexpr int kListHeight = 240;
constexpr int kNameWidth = 150;
constexpr int kCountWidth = 70;
constexpr int kFromWidth = 70;
// How many values a row shows of its library.
constexpr std::size_t kFirstValues = 5;

constexpr int kNameRole = Qt::UserRole;
constexpr int kFileRole = Qt::UserRole + 1;
constexpr int kDescriptionRole = Qt::UserRole + 2;

}  // namespace

TdlgLibraryPicker::TdlgLibraryPicker(LibraryFinder finder, std::string baseFolder, QWidget* parent)
    : QDialog(parent), finder_(std::move(finder)), baseFolder_(std::move(baseFolder)) {
    setObjectName("dlgLibraryPicker");
    setWindowTitle("Value Libraries");

    lvLibraries = new QTreeWidget;
    lvLibraries->setObjectName("lvLibraries");
    lvLibraries->setAccessibleName("Libraries");
    lvLibraries->setRootIsDecorated(false);
    lvLibraries->setUniformRowHeights(true);
    lvLibraries->setAllColumnsShowFocus(true);
    lvLibraries->setMinimumSize(kListWidth, kListHeight);
    lvLibraries->setHeaderLabels({"Library", "Values", "From", "First values"});
    lvLibraries->setColumnWidth(colName, kNameWidth);
    lvLibraries->setColumnWidth(colCount, kCountWidth);
    lvLibraries->setColumnWidth(colFrom, kFromWidth);

    lblDescription = new QLabel;
    lblDescription->setObjectName("lblDescription");
    lblDescription->setWordWrap(true);
    lblDescription->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeBuddyLabel("&Libraries:", lvLibraries));
    layout->addWidget(lvLibraries, 1);
    layout->addWidget(lblDescription);
    layout->addLayout(MakeOkCancelRow(*this, btnOK, btnCancel, Qt::Horizontal));

    // The user's libraries first: they hide shipped ones of the same name and are the ones a
    // user has made for this work.
    std::vector<LibraryFinder::Entry> entries = finder_.List();
    std::stable_partition(entries.begin(), entries.end(),
                          [](const LibraryFinder::Entry& entry) { return !entry.shipped; });
    for (const LibraryFinder::Entry& entry : entries) {
        AddLibrary(entry.name, entry.path, entry.shipped ? "shipped" : "user");
    }

    connect(lvLibraries, &QTreeWidget::currentItemChanged, this,
            &TdlgLibraryPicker::lvLibrariesChange);
    connect(lvLibraries, &QTreeWidget::itemActivated, this, &QDialog::accept);
    lvLibrariesChange();
}

QTreeWidgetItem* TdlgLibraryPicker::AddLibrary(const std::string& name, const std::string& path,
                                               const QString& from, int position) {
    auto* item = new QTreeWidgetItem;
    item->setText(colName, QString::fromStdString(name));
    item->setText(colFrom, from);
    item->setData(colName, kNameRole, QString::fromStdString(name));
    item->setData(colName, kFileRole, QString::fromStdString(path));
    item->setTextAlignment(colCount, Qt::AlignRight | Qt::AlignVCenter);
    try {
        const ValueLibrary library = ValueLibrary::Load(path, name);
        item->setText(colCount, QString::number(library.Count()));
        QStringList first;
        for (std::size_t i = 0; i < std::min(kFirstValues, library.Count()); ++i) {
            first << QString::fromStdString(std::string(library.Value(i)));
        }
        item->setText(colFirstValues, first.join(", "));
        item->setData(colName, kDescriptionRole, QString::fromStdString(library.Description()));
    } catch (const Exception& error) {
        // Listed all the same, with what is wrong with it: the check would refuse it by the
        // same words.
        item->setText(colFirstValues, QString::fromStdString(error.what()));
        item->setData(colName, kDescriptionRole, QString::fromStdString(error.what()));
    }
    item->setToolTip(colFirstValues, item->text(colFirstValues));
    if (position < 0) {
        lvLibraries->addTopLevelItem(item);
    } else {
        lvLibraries->insertTopLevelItem(position, item);
    }
    return item;
}

void TdlgLibraryPicker::Preselect(const std::string& value) {
    for (int i = 0; i < lvLibraries->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvLibraries->topLevelItem(i);
        if (item->data(colName, kNameRole).toString().toStdString() == value) {
            lvLibraries->setCurrentItem(item);
            return;
        }
    }
    if (LibraryFinder::IsPath(value)) {
        lvLibraries->setCurrentItem(AddLibrary(value, finder_.Find(value, baseFolder_), "file", 0));
    }
}

std::string TdlgLibraryPicker::SelectedLibrary() const {
    const QTreeWidgetItem* item = lvLibraries->currentItem();
    return item != nullptr ? item->data(colName, kNameRole).toString().toStdString()
                           : std::string();
}

std::string TdlgLibraryPicker::SelectedFile() const {
    const QTreeWidgetItem* item = lvLibraries->currentItem();
    return item != nullptr ? item->data(colName, kFileRole).toString().toStdString()
                           : std::string();
}

void TdlgLibraryPicker::lvLibrariesChange() {
    const QTreeWidgetItem* item = lvLibraries->currentItem();
    btnOK->setEnabled(item != nullptr);
    if (lvLibraries->topLevelItemCount() == 0) {
        QStringList folders;
        for (const std::string& folder : {finder_.UserFolder(), finder_.ShippedFolder()}) {
            if (!folder.empty()) {
                folders << QString::fromStdString(folder);
            }
        }
        lblDescription->setText("No libraries in " + folders.join(" or "));
        return;
    }
    lblDescription->setText(item == nullptr ? QString()
                                            : item->data(colName, kDescriptionRole).toString() +
                                                  "\n" + item->data(colName, kFileRole).toString());
}

}  // namespace rowsmith
