#pragma once
// The technical support box: where to get help, with three links that open the product page, a
// mail to the support address and the support page. It has no button: Esc and the close box close
// it.
#include <QDialog>

class QLabel;

namespace kivro {

class MouseDownLabel;

class TechSupportDialog : public QDialog {
    Q_OBJECT
public:
    explicit TechSupportDialog(QWidget* parent = nullptr);
    ~TechSupportDialog() override;

    // Loads the box and shows it modally; returns when it closes.
    void Show();

    // Event procedures.
    void Form_Load();
    void Label9_MouseDown(int Button);
    void Label8_MouseDown(int Button);
    void Label11_MouseDown(int Button);

    // Controls.
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    MouseDownLabel* Label9 = nullptr;
    QLabel* Label4 = nullptr;
    MouseDownLabel* Label8 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label12 = nullptr;
    MouseDownLabel* Label11 = nullptr;
};

} // namespace kivro
