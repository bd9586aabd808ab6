#include "dialogs/dlg_login.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "common/modal_run.h"

namespace rowsmith {

namespace {

constexpr int kMaxLength = 31;

}  // namespace

TdlgLogin::TdlgLogin(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgLogin");
    setWindowTitle("Database Login");

    lblRefused = new QLabel;
    lblRefused->setObjectName("lblRefused");
    lblRefused->setWordWrap(true);
    lblRefused->setTextFormat(Qt::PlainText);
    lblRefused->hide();
    lblDatabaseName = new QLabel;
    edUserName = new QLineEdit;
    edUserName->setMaxLength(kMaxLength);
    edPassword = new QLineEdit;
    edPassword->setMaxLength(kMaxLength);
    edPassword->setEchoMode(QLineEdit::Password);

    auto* fields = new QFormLayout;
    fields->addRow("Database:", lblDatabaseName);
    fields->addRow("&User Name:", edUserName);
    fields->addRow("&Password:", edPassword);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblRefused);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

bool TdlgLogin::Execute(const LoginPrompt& prompt, std::string& userName, std::string& password,
                        QWidget* parent) {
    TdlgLogin dialog(parent);
    if (prompt.refused) {
        dialog.lblRefused->setText("The password was refused: " +
                                   QString::fromStdString(prompt.reason).trimmed());
        dialog.lblRefused->show();
        dialog.setFixedSize(dialog.sizeHint().expandedTo(QSize(300, 0)));
    }
    dialog.lblDatabaseName->setText(QString::fromStdString(prompt.alias));
    dialog.edUserName->setText(QString::fromStdString(userName));
    // With the user known, the password is all that is left to type.
    (userName.empty() ? dialog.edUserName : dialog.edPassword)->setFocus();
    if (RunModal(dialog) != QDialog::Accepted) {
        return false;
    }
    userName = dialog.edUserName->text().toStdString();
    password = dialog.edPassword->text().toStdString();
    return true;
}

}  // namespace rowsmith
