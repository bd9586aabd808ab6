#include "main/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>
#include <utility>

#include "common/modal_run.h"

namespace rowsmith {

TFileDialog::TFileDialog(Kind kind, QString filter, QString defaultExt)
    : kind_(kind), filter_(std::move(filter)), defaultExt_(std::move(defaultExt)) {}

bool TFileDialog::Execute(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setNameFilter(QtFilter());
    if (kind_ == Kind::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDefaultSuffix(defaultExt_);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (!initialDir_.isEmpty()) {
        dialog.setDirectory(initialDir_);
    }
    // The former choice is offered again where the dialog opens in its folder.
    if (!fileName_.isEmpty() &&
        QFileInfo(fileName_).absolutePath() == dialog.directory().absolutePath()) {
        dialog.selectFile(QFileInfo(fileName_).fileName());
    }
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    const QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.isEmpty()) {
        return false;
    }
    fileName_ = WithDefaultExt(chosen);
    return true;
}

QString TFileDialog::QtFilter() const {
    const QStringList parts = filter_.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        filters << parts[i] + " (" + patterns + ")";
    }
    return filters.join(";;");
}

QString TFileDialog::WithDefaultExt(const QString& name) const {
    if (kind_ != Kind::Save || defaultExt_.isEmpty()) {
        return name;
    }
    // A name that ends in a point has an extension, though an empty one.
    if (QFileInfo(name).fileName().contains(u'.')) {
        return name;
    }
    return name + u'.' + defaultExt_;
}

}  // namespace rowsmith
