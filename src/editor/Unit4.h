#pragma once
// The SMS text editor dialog. No behaviour of its own: it exists as the program
// creates it, and nothing opens it.
#include <QDialog>

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    ~TForm4() override;
};

extern TForm4* Form4;
