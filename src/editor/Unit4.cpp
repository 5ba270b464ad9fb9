#include "editor/Unit4.h"

TForm4* Form4 = nullptr;

TForm4::TForm4(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("SMS text editor"));
}

TForm4::~TForm4()
{
    if (Form4 == this)
        Form4 = nullptr;
}
