// TdlgLogin: the "Database Login" dialog, asked for when a database server wants a password that
// the alias does not hold. It shows the alias name, a user name (prefilled from the alias's
// USER NAME) and a masked password, up to 31 characters each. The window installs Execute as the
// session's login handler; the password goes to the connection and is kept nowhere else.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;

namespace rowsmith {

class TdlgLogin : public QDialog {
    Q_OBJECT

public:
    explicit TdlgLogin(QWidget* parent = nullptr);

    // Shows the dialog modally for `alias` with `userName` prefilled. On OK, `userName` and
    // `password` take what was typed and the result is true; Cancel gives false.
    static bool Execute(const std::string& alias, std::string& userName, std::string& password,
                        QWidget* parent = nullptr);

    // The alias name shown, and the two fields.
    QLabel* lblDatabaseName;
    QLineEdit* edUserName;
    QLineEdit* edPassword;
};

}  // namespace rowsmith
