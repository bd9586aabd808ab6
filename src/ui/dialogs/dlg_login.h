// TdlgLogin: the "Database Login" dialog, asked for when a database server wants a password that
// the alias does not hold. It shows the alias name, a user name (prefilled from the alias's
// USER NAME) and a masked password, up to 31 characters each. The window installs Execute as the
// session's login handler; the password goes to the connection and is kept nowhere else.
#pragma once

#include <QDialog>
#include <string>

#include "engine/login_handler.h"

class QLabel;
class QLineEdit;

namespace rowsmith {

class TdlgLogin : public QDialog {
    Q_OBJECT

public:
    explicit TdlgLogin(QWidget* parent = nullptr);

    // Shows the dialog modally for the prompt's alias with `userName` prefilled; after a refused
    // password it says so, with the server's words. On OK, `userName` and `password` take what
    // was typed and the result is true; Cancel gives false.
    static bool Execute(const LoginPrompt& prompt, std::string& userName, std::string& password,
                        QWidget* parent = nullptr);

    // Why the dialog asks again: hidden on the first ask.
    QLabel* lblRefused;
    // The alias name shown, and the two fields.
    QLabel* lblDatabaseName;
    QLineEdit* edUserName;
    QLineEdit* edPassword;
};

}  // namespace rowsmith
