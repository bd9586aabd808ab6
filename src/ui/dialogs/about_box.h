// TAboutBox: the "About" box: the product name, the version and build read from the program file
// at start-up, the project's web and mail links, a notice line and the program's icon. Both links
// open their own caption with the desktop's default handler.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace rowsmith {

class TLinkLabel;

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kWebAddress = ROWSMITH_HOMEPAGE;
    static constexpr const char* kMailAddress = "mailto:rowsmith@example.org";

    explicit TAboutBox(QWidget* parent = nullptr);

    QLabel* lblProduct = nullptr;
    QLabel* lblVersion = nullptr;
    TLinkLabel* lbWWW = nullptr;
    TLinkLabel* lbEMail = nullptr;
    QLabel* lblNotice = nullptr;
    QLabel* imgPicture = nullptr;
    QPushButton* btnOK = nullptr;

    // Opens the caption of the link label that was clicked; the desktop's answer is not awaited.
    void lbWWWClick();

private:
    void FormCreate();
    QWidget* CreateTextPanel();
};

}  // namespace rowsmith
