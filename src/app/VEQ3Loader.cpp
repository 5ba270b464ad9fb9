// The program block: keeps a second copy out, then creates the forms in their order and
// runs the event loop until the main window closes.
#include "editor/Main.h"
#include "editor/Unit2.h"
#include "editor/Unit3.h"
#include "editor/Unit4.h"
#include "editor/Unit5.h"
#include "editor/Unit6.h"
#include "platform/InstanceGuard.h"

#include <QApplication>
#include <QCoreApplication>

#include <optional>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);

    // A copy that is turned away asks the first one to come forward and ends here, before
    // any window or the module link exists: it claims no module and writes no file.
    // Without a safe folder for the guard the program says which folder and ends.
    platform::InstanceGuard guard(QCoreApplication::applicationFilePath());
    if (const std::optional<int> rc = platform::AdmitProgramCopy(guard, 1))
        return *rc;
    platform::InstanceGuard::SetProgram(&guard);

    QApplication::setApplicationName(QStringLiteral("VEQ4m Loader"));
    QApplication::setApplicationDisplayName(QStringLiteral("VEQ4m Loader"));

    auto* form1 = new TForm1();
    Form2 = new TForm2(form1);
    Form3 = new TForm3(form1);
    Form4 = new TForm4(form1);
    Form5 = new TForm5(form1);
    Form6 = new TForm6(form1);
    form1->CreateInstanceControl();
    form1->show();

    const int rc = app.exec();
    delete form1;
    platform::InstanceGuard::SetProgram(nullptr);
    return rc;
}
